#pragma once
// The case-insensitive order of many paths, computed without comparing the
// long folder parts they share over and over.
#include <cstdint>
#include <string>
#include <vector>

// Indices into `paths` in ascending order of the paths (or, with byName, of
// their file names) under CompareNoCase; equal keys keep their index order.
std::vector<std::uint32_t> CaseInsensitiveOrder(const std::vector<std::string>& paths, bool byName);
