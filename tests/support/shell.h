#pragma once
// Shell command lines of the tests: tools that may be missing, and commands
// whose output the tests read.
#include <string>

namespace support {

// True when `program` is on the PATH.
bool Have(const std::string& program);

struct ShellResult {
    std::string output;   // standard output only
    int exitCode = -1;    // -1 when the shell could not run or was killed
};
ShellResult Shell(const std::string& command);

} // namespace support
