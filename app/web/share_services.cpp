// Passing a map on in the page: the shell (share.js) shows the share dialog,
// with the page's own link for a map and the system's share sheet where the
// browser offers one, and the dialog that asks for a code. The browser cannot
// wait for a dialog: the code typed there comes back through
// orvanta_open_code, which hands it out here once, and the open command runs.
#include <emscripten.h>

#include <cstring>
#include <string>

#include "app/share_services.h"
#include "app/web/share_services.h"
#include "core/text1251.h"

namespace {

EM_JS(void, js_show_share, (const char* title, const char* caption, const char* text),
      { Module.web.showShare(UTF8ToString(title), UTF8ToString(caption), UTF8ToString(text)); });
EM_JS(void, js_ask_code, (const char* title, const char* message, const char* entry),
      { Module.web.askCode(UTF8ToString(title), UTF8ToString(message), UTF8ToString(entry)); });
EM_JS(int, js_page_address, (char* buffer, int capacity), {
    const address = location.href.split('#')[0];
    if (lengthBytesUTF8(address) + 1 > capacity) return 0;
    return stringToUTF8(address, buffer, capacity);
});

std::string typedEntry;
bool entryWaiting = false;

}  // namespace

namespace orvanta::web {

void offerTypedCode(const std::string& utf8) {
    typedEntry = text::fromUtf8(utf8);
    entryWaiting = true;
}

void forgetTypedCode() {
    typedEntry.clear();
    entryWaiting = false;
}

}  // namespace orvanta::web

namespace orvanta::platform {

void showShareDialog(const char* title, const char* caption, const char* text) {
    js_show_share(text::toUtf8(title).c_str(), text::toUtf8(caption).c_str(), text::toUtf8(text).c_str());
}

bool askForMapCode(const char* title, const char* message, char* code, std::int32_t capacity) {
    if (code == nullptr || capacity <= 0) return false;
    if (!entryWaiting) {
        js_ask_code(text::toUtf8(title).c_str(), text::toUtf8(message).c_str(), text::toUtf8(code).c_str());
        return false;
    }
    const std::size_t n = typedEntry.size() < static_cast<std::size_t>(capacity) ? typedEntry.size() : static_cast<std::size_t>(capacity) - 1;
    std::memcpy(code, typedEntry.data(), n);
    code[n] = '\0';
    web::forgetTypedCode();
    return true;
}

std::int32_t mapCodeLink(const char* code, char* buffer, std::int32_t capacity) {
    if (buffer == nullptr || capacity <= 0) return 0;
    buffer[0] = '\0';
    char address[2048];
    if (js_page_address(address, sizeof address) <= 0) return 0;
    // The address is the page's own (ASCII once the browser has encoded it), the code ASCII.
    const std::string link = std::string(address) + "#" + code;
    if (link.size() + 1 > static_cast<std::size_t>(capacity)) return 0;
    std::memcpy(buffer, link.c_str(), link.size() + 1);
    return static_cast<std::int32_t>(link.size());
}

}  // namespace orvanta::platform
