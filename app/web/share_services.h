// The code typed into the page's code dialog, handed to the open command once.
#pragma once

#include <string>

namespace orvanta::web {

// The entry (UTF-8) that the next askForMapCode hands out.
void offerTypedCode(const std::string& utf8);
void forgetTypedCode();

}  // namespace orvanta::web
