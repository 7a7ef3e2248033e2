#include "music/sound_fixtures.h"

#include "support/shell.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void Put16(std::vector<char>& out, unsigned v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::vector<char>& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutBig32(std::vector<char>& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

void PutVarLen(std::vector<char>& out, std::uint32_t v)
{
    std::vector<char> bytes{static_cast<char>(v & 0x7F)};
    while (v >>= 7)
        bytes.insert(bytes.begin(), static_cast<char>((v & 0x7F) | 0x80));
    out.insert(out.end(), bytes.begin(), bytes.end());
}

void WriteBytes(const std::string& path, const std::vector<char>& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool Run(const std::string& command) { return support::Shell(command + " >/dev/null 2>&1").exitCode == 0; }

} // namespace

void WriteWav(const std::string& path, double seconds, double frequency)
{
    const std::uint32_t rate = 22050;
    const auto samples = static_cast<std::uint32_t>(seconds * rate);
    std::vector<char> out;
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    Put32(out, 36 + samples * 2);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(out, 16);
    Put16(out, 1);        // PCM
    Put16(out, 1);        // mono
    Put32(out, rate);
    Put32(out, rate * 2); // bytes per second
    Put16(out, 2);        // block size
    Put16(out, 16);       // bits per sample
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put32(out, samples * 2);
    for (std::uint32_t i = 0; i < samples; ++i) {
        double v = std::sin(2 * M_PI * frequency * i / rate) * 8000;
        Put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(v)));
    }
    WriteBytes(path, out);
}

void WriteMidi(const std::string& path, double seconds)
{
    const unsigned division = 96; // ticks per quarter note; 500000 us per quarter
    const auto ticks = static_cast<std::uint32_t>(seconds * 2 * division);
    std::vector<char> track;
    PutVarLen(track, 0);
    track.insert(track.end(), {'\xFF', '\x51', '\x03', '\x07', '\xA1', '\x20'}); // tempo
    PutVarLen(track, 0);
    track.insert(track.end(), {'\xC0', '\x00'});                                 // piano
    PutVarLen(track, 0);
    track.insert(track.end(), {'\x90', '\x3C', '\x64'});                         // note on
    PutVarLen(track, ticks);
    track.insert(track.end(), {'\x80', '\x3C', '\x00'});                         // note off
    PutVarLen(track, 0);
    track.insert(track.end(), {'\xFF', '\x2F', '\x00'});                         // end of track

    std::vector<char> out{'M', 'T', 'h', 'd'};
    PutBig32(out, 6);
    out.insert(out.end(), {0, 0, 0, 1, 0, static_cast<char>(division)});
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    PutBig32(out, static_cast<std::uint32_t>(track.size()));
    out.insert(out.end(), track.begin(), track.end());
    if (fs::path(path).extension() == ".rmi") {
        // The RIFF form of a MIDI file: the whole file in one "data" chunk.
        std::vector<char> riff{'R', 'I', 'F', 'F'};
        Put32(riff, static_cast<std::uint32_t>(12 + out.size() + out.size() % 2));
        riff.insert(riff.end(), {'R', 'M', 'I', 'D', 'd', 'a', 't', 'a'});
        Put32(riff, static_cast<std::uint32_t>(out.size()));
        riff.insert(riff.end(), out.begin(), out.end());
        if (out.size() % 2)
            riff.push_back(0);
        out = std::move(riff);
    }
    WriteBytes(path, out);
}

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

bool MakeConverted(const std::string& path, double seconds)
{
    std::string ext = fs::path(path).extension().string();
    std::string wav = path + ".source.wav";
    WriteWav(wav, seconds);
    std::string q = "'" + path + "'";
    std::string w = "'" + wav + "'";
    bool ok = false;
    if (ext == ".mp3")
        ok = support::Have("lame") && Run("lame --quiet " + w + " " + q);
    else if (ext == ".mp2")
        ok = support::Have("ffmpeg") && Run("ffmpeg -loglevel error -y -i " + w + " -c:a mp2 " + q);
    else if (ext == ".wma")
        ok = support::Have("ffmpeg") && Run("ffmpeg -loglevel error -y -i " + w + " -c:a wmav2 -f asf " + q);
    else if (ext == ".au" || ext == ".aiff")
        ok = support::Have("sox") && Run("sox " + w + " --comment '' " + q);
    std::error_code ec;
    fs::remove(wav, ec);
    return ok && fs::exists(path, ec);
}
