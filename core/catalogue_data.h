// The compiled catalogues, as the build generates them from po/LINGUAS and
// po/<code>.po (cmake/catalogue_tables.cmake); only core/catalogue.cpp reads
// them.
#pragma once

#include <cstdint>

namespace orvanta::text::catalogue {

struct Entry {
    const char* source;       // the Russian text, Windows-1251
    const char* translation;  // Windows-1251
    // The same as the catalogue writes them, UTF-8: the web page's own words
    // may hold characters the code page lacks (an arrow).
    const char* sourceUtf8;
    const char* translationUtf8;
};

struct LanguageTable {
    const char* code;
    const Entry* entries;
    std::int32_t entryCount;
};

// Every language of po/LINGUAS, in its order (Russian, the source, has none).
extern const LanguageTable kTables[];
extern const std::int32_t kTableCount;

}  // namespace orvanta::text::catalogue
