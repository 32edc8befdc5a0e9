#include "support/fake_window_services.h"

#include "app/window_services.h"

namespace orvanta {

namespace fake {
WindowLog windowLog;

void resetWindowServices() { windowLog = WindowLog{}; }
}  // namespace fake

namespace platform {
void invalidateWindow() { ++fake::windowLog.invalidations; }
void setWindowTitle(const char* text, const char* name) {
    fake::windowLog.titles.push_back(std::string(text) + name);
}
void showAboutBox() { ++fake::windowLog.aboutBoxes; }
void closeMainWindow() { ++fake::windowLog.closes; }
void refusalBeep() { ++fake::windowLog.beeps; }
void languageChanged() { ++fake::windowLog.languageChanges; }
}  // namespace platform

}  // namespace orvanta
