#include "support/fake_share_services.h"

#include <cstring>

#include "app/share_services.h"

namespace orvanta {

namespace fake {
ShareServices shareServices;

void resetShareServices() { shareServices = ShareServices{}; }
}  // namespace fake

namespace platform {

void showShareDialog(const char* title, const char* caption, const char* text) {
    fake::shareServices.shown.push_back(fake::SharedText{title, caption, text});
}

bool askForMapCode(const char* title, const char* message, char* code, std::int32_t capacity) {
    (void)title;
    fake::shareServices.messages.push_back(message);
    fake::shareServices.startingTexts.push_back(code);
    if (fake::shareServices.entries.empty()) return false;
    const std::string entry = fake::shareServices.entries.front();
    fake::shareServices.entries.pop_front();
    const std::size_t n = entry.size() < static_cast<std::size_t>(capacity) ? entry.size() : static_cast<std::size_t>(capacity) - 1;
    std::memcpy(code, entry.data(), n);
    code[n] = '\0';
    return true;
}

std::int32_t mapCodeLink(const char* code, char* buffer, std::int32_t capacity) {
    buffer[0] = '\0';
    if (fake::shareServices.pageAddress.empty()) return 0;
    const std::string link = fake::shareServices.pageAddress + "#" + code;
    if (link.size() + 1 > static_cast<std::size_t>(capacity)) return 0;
    std::memcpy(buffer, link.c_str(), link.size() + 1);
    return static_cast<std::int32_t>(link.size());
}

}  // namespace platform

}  // namespace orvanta
