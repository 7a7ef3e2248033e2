#pragma once
// The last component of a search pattern: '*' matches any run of characters,
// '?' exactly one, and letters match regardless of ASCII case. "*.*" matches
// every name, as users of such patterns expect.
#include "media/ascii_fold.h"

#include <string>
#include <string_view>

class WildcardMask {
public:
    WildcardMask() = default;
    explicit WildcardMask(std::string_view mask);

    bool Matches(std::string_view name) const;

private:
    // Masks like "*.jpg" are by far the most common; they need only a suffix test.
    enum class Kind { All, Literal, Suffix, General };
    Kind kind_ = Kind::All;
    std::string text_; // the literal or suffix for those kinds, the whole mask otherwise
};
