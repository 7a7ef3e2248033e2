#pragma once
// Case folding as the file lists use it: ASCII letters only, every other byte
// left alone, so that names in any encoding compare byte for byte.
inline char FoldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
