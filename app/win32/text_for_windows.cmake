# Copies a UTF-8 text file for Windows readers: a byte-order mark in front, so
# that Notepad reads it as UTF-8 on any system, and CRLF line ends.
# Usage: cmake -DINPUT=<file> -DOUTPUT=<file> -P text_for_windows.cmake
file(READ "${INPUT}" content)
string(REPLACE "\r\n" "\n" content "${content}")
string(REPLACE "\n" "\r\n" content "${content}")
# Strip a mark the source may already carry, then put exactly one in front.
string(ASCII 239 187 191 bom)
string(FIND "${content}" "${bom}" at)
if(at EQUAL 0)
  string(LENGTH "${bom}" bomLength)
  string(SUBSTRING "${content}" ${bomLength} -1 content)
endif()
file(WRITE "${OUTPUT}" "${bom}${content}")
