// Which edition this translation unit is built for. The build compiles the
// files that include this header once per edition, so both are tested in one
// run; every other file is compiled once for both, without an edition define.
#pragma once

namespace orvanta {

enum class Edition { Public, Profi };

#if defined(ORVANTA_EDITION_PROFI)
inline constexpr Edition kEdition = Edition::Profi;
#elif defined(ORVANTA_EDITION_PUBLIC)
inline constexpr Edition kEdition = Edition::Public;
#else
// Compiled once for both editions, this file would silently take one edition's
// behaviour into the other: it belongs in its target's per-edition sources.
#error "core/edition.h included by a file shared by both editions"
#endif

inline constexpr bool isProfi() { return kEdition == Edition::Profi; }

}  // namespace orvanta
