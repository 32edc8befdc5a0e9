#include "app/qt/qt_paths.h"

#include <QFile>

#include <deque>
#include <optional>

#include "app/qt/qt_text.h"
#include "core/text1251.h"

namespace orvanta::qt {

namespace {

struct RememberedPath {
    std::string narrow;
    QString real;  // one UTF-16 unit for each byte of `narrow`
};

// Enough for the documents of a session: a document name stays mappable after
// a few later dialogs that were cancelled or refused.
constexpr std::size_t kDialogPaths = 16;

std::deque<RememberedPath> dialogPaths;  // newest first
std::optional<RememberedPath> programPath;
std::optional<RememberedPath> configPath;

std::size_t sharedStart(const std::string& a, const std::string& b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
    return n;
}

}  // namespace

std::string narrowPath(const QString& realPath, PathSource source) {
    std::string narrow;
    bool exact = true;
    narrow.reserve(static_cast<std::size_t>(realPath.size()));
    for (const QChar ch : realPath) {
        const char16_t unit = ch.unicode();
        const char byte = ch.isSurrogate() ? '?' : text::byteOf1251(unit);
        const bool same = byte != '\0' && text::unicodeOf1251(static_cast<unsigned char>(byte)) == unit;
        exact = exact && same;
        narrow.push_back(same ? byte : '?');
    }
    if (exact) return narrow;  // the narrow form says it exactly
    RememberedPath entry{narrow, realPath};
    if (source == PathSource::Program) {
        programPath = entry;
    } else if (source == PathSource::Config) {
        configPath = entry;
    } else {
        dialogPaths.push_front(entry);
        if (dialogPaths.size() > kDialogPaths) dialogPaths.pop_back();
    }
    return narrow;
}

QString realPath(const char* narrow) {
    const std::string path = narrow != nullptr ? narrow : "";
    const RememberedPath* best = nullptr;
    std::size_t bestLength = 0;
    auto consider = [&](const RememberedPath& entry) {
        const std::size_t n = sharedStart(path, entry.narrow);
        // Only a shared start that holds a stand-in '?' needs the real text.
        if (n > bestLength && entry.narrow.find('?') < n) {
            best = &entry;
            bestLength = n;
        }
    };
    for (const RememberedPath& entry : dialogPaths) consider(entry);
    if (programPath) consider(*programPath);
    if (configPath) consider(*configPath);
    if (best == nullptr) return fromCp1251(path.c_str());
    qsizetype cut = static_cast<qsizetype>(bestLength);
    // Never end inside a pair of UTF-16 units.
    if (cut > 0 && best->real.at(cut - 1).isHighSurrogate()) --cut;
    return best->real.left(cut) + fromCp1251(path.c_str() + cut);
}

QByteArray localPath(const char* narrow) { return QFile::encodeName(realPath(narrow)); }

void forgetPaths() {
    dialogPaths.clear();
    programPath.reset();
    configPath.reset();
}

}  // namespace orvanta::qt
