#pragma once
// How a value is kept on its line of the INI file. A hand-written value is the
// text from '=' to the end of the line, blanks included, so a folder whose
// name ends in a space survives. A value the program writes and that a line
// cannot hold as it is (line breaks, or text that would read back otherwise)
// is written in double quotes with backslash escapes, and unquoted on read;
// whatever the program writes reads back identical.
#include <string>
#include <string_view>

// The text to put after '=' for `value`.
std::string EncodeIniValue(std::string_view value);
// The value of the text after '=' (the line without its line end).
std::string DecodeIniValue(std::string_view text);
