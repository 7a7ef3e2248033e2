#include "music/playlist.h"

#include <algorithm>
#include <cctype>

namespace {

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string PercentDecode(std::string_view s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            int hi = HexValue(s[i + 1]);
            int lo = HexValue(s[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), s.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

// A URL scheme: letters, digits, '+', '-', '.' before "://"; a drive letter
// ("C:\...") is not one.
bool HasUrlScheme(std::string_view s)
{
    std::size_t colon = s.find("://");
    if (colon == std::string_view::npos || colon < 2)
        return false;
    return std::all_of(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    });
}

} // namespace

std::vector<std::string> ParseM3u(std::string_view text, std::string_view folder)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::vector<std::string> entries;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.empty() || line.front() == '#')
            continue;

        std::string path;
        if (StartsWithNoCase(line, "file://")) {
            path = PercentDecode(line.substr(7));
            if (path.empty() || path.front() != '/')
                continue; // a file URL of another host
        } else if (HasUrlScheme(line)) {
            continue;
        } else {
            path = std::string(line);
            std::replace(path.begin(), path.end(), '\\', '/');
        }
        if (path.front() != '/') {
            std::string full(folder);
            if (!full.empty() && full.back() != '/')
                full += '/';
            path = full + path;
        }
        entries.push_back(std::move(path));
    }
    return entries;
}
