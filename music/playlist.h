#pragma once
// Entries of an .m3u playlist.
#include <string>
#include <string_view>
#include <vector>

// Larger files are not taken for playlists.
inline constexpr std::size_t kMaxPlaylistBytes = 1 << 20;

// The entries of the playlist text, in order, as paths: blank and comment
// lines ("#...") are skipped, "file:" URLs become paths, other URLs are
// dropped (only local files are played), backslashes of lists written on
// other systems become slashes, and relative entries are resolved against
// folder (the playlist's own folder).
std::vector<std::string> ParseM3u(std::string_view text, std::string_view folder);
