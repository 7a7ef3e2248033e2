#pragma once
// Sound files made by the tests: wave and MIDI written byte by byte, the
// other families converted from a wave file with the command-line tools
// that the set-up script installs.
#include "support/temp_folder.h"

#include <string>

// A temporary folder, removed with everything in it; file paths as strings.
class TempFolder : public support::TempFolder {
public:
    TempFolder() : support::TempFolder("music") {}
    std::string File(const std::string& name) const { return (Path() / name).string(); }
};

// 16-bit mono PCM at 22050 Hz: a sine tone of the given length.
void WriteWav(const std::string& path, double seconds, double frequency = 440.0);
// A format-0 MIDI file with one note of the given length on a piano; in its
// RIFF form when path ends in ".rmi".
void WriteMidi(const std::string& path, double seconds);
void WriteText(const std::string& path, const std::string& text);

// Converts a fresh wave tone into path with a tool; false when the tool is
// missing or fails. Kinds by extension: .mp3 (lame), .mp2 and .wma (ffmpeg),
// .au and .aiff (sox).
bool MakeConverted(const std::string& path, double seconds);
