// Test stand-ins for the services that pass a map on: the share dialogs shown
// are recorded, the code dialog hands out prepared entries one per call (then
// a cancel) and records the messages it was shown with.
#pragma once

#include <deque>
#include <string>
#include <vector>

namespace orvanta::fake {

struct SharedText {
    std::string title;
    std::string caption;
    std::string text;
};

struct ShareServices {
    std::vector<SharedText> shown;
    // What the code dialog returns, one per call; a cancel once they run out.
    std::deque<std::string> entries;
    // The message and the starting text of every code dialog shown (Windows-1251).
    std::vector<std::string> messages;
    std::vector<std::string> startingTexts;
    // The page's address a link starts with; empty: no link, as on the desktops.
    std::string pageAddress;
};

extern ShareServices shareServices;

void resetShareServices();

}  // namespace orvanta::fake
