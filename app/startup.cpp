#include "app/startup.h"

#include <cstdio>

#include "app/window_services.h"
#include "core/edition.h"
#include "files/current_document.h"
#include "files/manual_and_number.h"

namespace orvanta {

namespace {
// The version the title shows; the packages carry their own version number.
constexpr int kTitleVersion = 11;
}  // namespace

const char* editionTitleText() {
    static char text[64];
    std::snprintf(text, sizeof text, " %s %s %i", isProfi() ? "Profi" : "Public", isProfi() ? "Release" : "Version",
                  kTitleVersion);
    return text;
}

void initApplication() {
    platform::setWindowTitle(editionTitleText(), "");
    document.personalNumber = readPersonalNumber();
    setEditionStampWords();
}

}  // namespace orvanta
