#include "music/sound_format.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

namespace {

std::string LowerExtension(std::string_view path)
{
    std::size_t slash = path.find_last_of('/');
    std::size_t dot = path.find_last_of('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    std::string ext(path.substr(dot + 1));
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

bool StartsWith(std::span<const std::uint8_t> head, std::size_t at, const char* magic)
{
    std::size_t n = std::strlen(magic);
    return head.size() >= at + n && std::memcmp(head.data() + at, magic, n) == 0;
}

bool IsRiff(std::span<const std::uint8_t> head, const char* form)
{
    return StartsWith(head, 0, "RIFF") && StartsWith(head, 8, form);
}

// An MPEG audio frame header: 11 sync bits, a valid version, layer, bit rate
// and sample rate.
bool IsMpegFrame(std::span<const std::uint8_t> h, std::size_t i)
{
    if (i + 4 > h.size() || h[i] != 0xFF || (h[i + 1] & 0xE0) != 0xE0)
        return false;
    unsigned version = (h[i + 1] >> 3) & 3;
    unsigned layer = (h[i + 1] >> 1) & 3;
    unsigned bitrate = h[i + 2] >> 4;
    unsigned rate = (h[i + 2] >> 2) & 3;
    return version != 1 && layer != 0 && bitrate != 15 && rate != 3;
}

bool IsMpeg(std::span<const std::uint8_t> head)
{
    if (StartsWith(head, 0, "ID3") || IsRiff(head, "WAVE"))
        return true;
    // Some encoders leave zero padding before the first frame.
    std::size_t i = 0;
    while (i < head.size() && head[i] == 0)
        ++i;
    return IsMpegFrame(head, i);
}

bool IsAsf(std::span<const std::uint8_t> head)
{
    static const std::uint8_t header[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                            0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
    return head.size() >= sizeof header && std::memcmp(head.data(), header, sizeof header) == 0;
}

} // namespace

SoundKind SoundKindFromPath(std::string_view path)
{
    static const struct {
        const char* ext;
        SoundKind kind;
    } table[] = {
        {"mid", SoundKind::Midi},  {"rmi", SoundKind::Midi},          {"midi", SoundKind::Midi},
        {"wav", SoundKind::Wave},  {"snd", SoundKind::Au},            {"au", SoundKind::Au},
        {"aif", SoundKind::Aiff},  {"aifc", SoundKind::Aiff},         {"aiff", SoundKind::Aiff},
        {"mp3", SoundKind::Mpeg},  {"mp2", SoundKind::Mpeg},          {"m3u", SoundKind::Playlist},
        {"wma", SoundKind::WindowsMedia}, {"wm", SoundKind::WindowsMedia}, {"asf", SoundKind::WindowsMedia},
    };
    std::string ext = LowerExtension(path);
    for (const auto& entry : table) {
        if (ext == entry.ext)
            return entry.kind;
    }
    return SoundKind::Unknown;
}

MciError CheckSoundHeader(SoundKind kind, std::span<const std::uint8_t> head)
{
    bool ok = false;
    switch (kind) {
    case SoundKind::Unknown:
        return kMciErrExtensionNotFound;
    case SoundKind::Playlist:
        return kMciOk;
    case SoundKind::Midi:
        ok = StartsWith(head, 0, "MThd") || IsRiff(head, "RMID");
        break;
    case SoundKind::Wave:
        ok = IsRiff(head, "WAVE");
        break;
    case SoundKind::Au:
        // .snd also names wave files on some systems.
        ok = StartsWith(head, 0, ".snd") || IsRiff(head, "WAVE");
        break;
    case SoundKind::Aiff:
        ok = StartsWith(head, 0, "FORM") && (StartsWith(head, 8, "AIFF") || StartsWith(head, 8, "AIFC"));
        break;
    case SoundKind::Mpeg:
        ok = IsMpeg(head);
        break;
    case SoundKind::WindowsMedia:
        ok = IsAsf(head);
        break;
    }
    return ok ? kMciOk : kMciErrInvalidFile;
}
