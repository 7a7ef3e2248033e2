#include "support/shell.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

namespace support {

bool Have(const std::string& program)
{
    return std::system(("command -v '" + program + "' >/dev/null 2>&1").c_str()) == 0;
}

ShellResult Shell(const std::string& command)
{
    ShellResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buf{};
    while (std::size_t n = std::fread(buf.data(), 1, buf.size(), pipe))
        result.output.append(buf.data(), n);
    int status = pclose(pipe);
    result.exitCode = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace support
