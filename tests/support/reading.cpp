#include "support/reading.h"

#include <fstream>
#include <sstream>
#include <thread>

namespace support {

std::string ReadAll(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> LogMessages(const std::filesystem::path& log)
{
    std::vector<std::string> out;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) {
        auto sep = line.find(" : ");
        out.push_back(sep == std::string::npos ? line : line.substr(sep + 3));
    }
    return out;
}

int CountLog(const std::filesystem::path& log, const std::string& fragment)
{
    int n = 0;
    for (auto& m : LogMessages(log))
        n += m.find(fragment) != std::string::npos ? 1 : 0;
    return n;
}

bool WaitForLog(const std::filesystem::path& log, const std::string& fragment, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (CountLog(log, fragment) == 0) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

} // namespace support
