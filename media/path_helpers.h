#pragma once
// Pure string helpers for file paths. Both '\' and '/' split a path, so
// folder lists written on other systems still read; this program writes '/'.
#include <string>
#include <string_view>

constexpr char kPathSeparator = '/';

inline bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

// The text after the last separator; the whole path when there is none.
std::string GetFileName(std::string_view path);
// The text up to and including the last separator; empty when there is none.
std::string GetFolder(std::string_view path);
// The text after the last '.' of the file name, without the dot and in its
// own letter case; empty when the name has no dot or ends in one.
std::string GetExtension(std::string_view path);
// folder + separator + name, without doubling a separator the folder ends in.
std::string JoinPath(std::string_view folder, std::string_view name);
