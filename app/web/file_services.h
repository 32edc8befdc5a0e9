// The page's files: a file the user picked waits here for the open command,
// and a record the save command writes is handed to the browser as a download.
#pragma once

#include <cstdint>
#include <string>

namespace orvanta::web {

// The program's own documents, which the page keeps in its own way: the
// manual is a page of the site, the personal number lives in local storage.
inline constexpr char kProgramPath[] = "/orvanta/orvanta";
inline constexpr char kManualPath[] = "/orvanta/help.txt";
inline constexpr char kUserFilePath[] = "/orvanta/user.txt";

// The file the user picked (its name in UTF-8, its first bytes): the next open
// dialog hands it out once, under the name's Windows-1251 form.
void offerPickedFile(const std::string& utf8Name, const std::uint8_t* bytes, std::int32_t count);

// A Windows-1251 name the program carries, in UTF-8 with the real characters
// of a picked file's name where the code page lacks them.
std::string realName(const char* narrow);

// Forgets the offered file when the open command did not take it.
void forgetPickedFile();

}  // namespace orvanta::web
