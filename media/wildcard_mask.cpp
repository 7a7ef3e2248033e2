#include "media/wildcard_mask.h"

namespace {
bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    return true;
}

// Iterative matching with one back-track point: linear for the usual masks
// and never worse than |name| * |mask|.
bool MatchGeneral(std::string_view name, std::string_view mask)
{
    std::size_t n = 0, m = 0;
    std::size_t starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && (mask[m] == '?' || FoldAscii(mask[m]) == FoldAscii(name[n]))) {
            ++m;
            ++n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}
} // namespace

WildcardMask::WildcardMask(std::string_view mask)
{
    if (mask == "*" || mask == "*.*") {
        kind_ = Kind::All;
        return;
    }
    auto wild = [](std::string_view s) { return s.find_first_of("*?") != std::string_view::npos; };
    if (!wild(mask)) {
        kind_ = Kind::Literal;
        text_ = mask;
    } else if (mask.front() == '*' && !wild(mask.substr(1))) {
        kind_ = Kind::Suffix;
        text_ = mask.substr(1);
    } else {
        kind_ = Kind::General;
        text_ = mask;
    }
}

bool WildcardMask::Matches(std::string_view name) const
{
    switch (kind_) {
    case Kind::All:
        return true;
    case Kind::Literal:
        return EqualNoCase(name, text_);
    case Kind::Suffix:
        return name.size() >= text_.size() &&
               EqualNoCase(name.substr(name.size() - text_.size()), text_);
    case Kind::General:
        break;
    }
    return MatchGeneral(name, text_);
}
