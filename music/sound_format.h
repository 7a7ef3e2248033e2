#pragma once
// Which kind of sound a file holds, from its extension, and whether its first
// bytes agree: the audio layer refuses a file that cannot be what it claims
// at once, before any decoder is started.
#include "music/audio_errors.h"

#include <cstdint>
#include <span>
#include <string_view>

enum class SoundKind { Unknown, Midi, Wave, Au, Aiff, Mpeg, WindowsMedia, Playlist };

// How many leading bytes CheckSoundHeader looks at, at most.
inline constexpr std::size_t kSoundHeaderBytes = 4096;

// The kind named by the extension of path (letter case ignored).
SoundKind SoundKindFromPath(std::string_view path);

// kMciOk when head (the file's first bytes) can start a file of that kind,
// kMciErrInvalidFile when it cannot, kMciErrExtensionNotFound for Unknown.
// Playlists are text and always pass here.
MciError CheckSoundHeader(SoundKind kind, std::span<const std::uint8_t> head);
