#include "app/ini_value_text.h"

#include <optional>

namespace {
bool NeedsQuotes(std::string_view value)
{
    if (!value.empty() && value.front() == '"')
        return true; // would be taken for a quoted value
    for (char c : value)
        if (c == '\n' || c == '\r')
            return true;
    return false;
}

// The inside of a quoted value, or nothing when `text` is not one the
// program could have written (then it is a hand-written value, kept as is).
std::optional<std::string> Unquote(std::string_view text)
{
    if (text.size() < 2 || text.front() != '"' || text.back() != '"')
        return std::nullopt;
    std::string out;
    out.reserve(text.size() - 2);
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        char c = text[i];
        if (c == '"')
            return std::nullopt;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt; // a lone backslash before the closing quote
        switch (text[++i]) {
        case '\\': out += '\\'; break;
        case '"': out += '"'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        default: return std::nullopt;
        }
    }
    return out;
}
} // namespace

std::string EncodeIniValue(std::string_view value)
{
    if (!NeedsQuotes(value))
        return std::string(value);
    std::string out = "\"";
    for (char c : value) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    out += '"';
    return out;
}

std::string DecodeIniValue(std::string_view text)
{
    if (std::optional<std::string> inside = Unquote(text))
        return *inside;
    return std::string(text);
}
