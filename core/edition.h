// Which edition this translation unit is built for. The build compiles every
// portable library twice, once per edition, so both are tested in one run.
#pragma once

namespace orvanta {

enum class Edition { Public, Profi };

#if defined(ORVANTA_EDITION_PROFI)
inline constexpr Edition kEdition = Edition::Profi;
#else
inline constexpr Edition kEdition = Edition::Public;
#endif

inline constexpr bool isProfi() { return kEdition == Edition::Profi; }

}  // namespace orvanta
