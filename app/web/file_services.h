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

// The file the user picked (its name as Windows-1251, its first bytes): the
// next open dialog hands it out once.
void offerPickedFile(const std::string& name, const std::uint8_t* bytes, std::int32_t count);

// Forgets the offered file when the open command did not take it.
void forgetPickedFile();

}  // namespace orvanta::web
