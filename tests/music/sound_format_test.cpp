#include "music/sound_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

} // namespace

TEST(SoundFormat, KindFollowsTheListedExtensionsInAnyCase)
{
    EXPECT_EQ(SoundKindFromPath("/a/b.mid"), SoundKind::Midi);
    EXPECT_EQ(SoundKindFromPath("/a/b.RMI"), SoundKind::Midi);
    EXPECT_EQ(SoundKindFromPath("/a/b.Midi"), SoundKind::Midi);
    EXPECT_EQ(SoundKindFromPath("/a/b.wav"), SoundKind::Wave);
    EXPECT_EQ(SoundKindFromPath("/a/b.snd"), SoundKind::Au);
    EXPECT_EQ(SoundKindFromPath("/a/b.au"), SoundKind::Au);
    for (const char* p : {"/a/b.aif", "/a/b.aifc", "/a/b.AIFF"})
        EXPECT_EQ(SoundKindFromPath(p), SoundKind::Aiff) << p;
    EXPECT_EQ(SoundKindFromPath("/a/b.mp3"), SoundKind::Mpeg);
    EXPECT_EQ(SoundKindFromPath("/a/b.mp2"), SoundKind::Mpeg);
    EXPECT_EQ(SoundKindFromPath("/a/b.m3u"), SoundKind::Playlist);
    for (const char* p : {"/a/b.wma", "/a/b.wm", "/a/b.asf"})
        EXPECT_EQ(SoundKindFromPath(p), SoundKind::WindowsMedia) << p;
    EXPECT_EQ(SoundKindFromPath("/a/b.txt"), SoundKind::Unknown);
    EXPECT_EQ(SoundKindFromPath("/music.mp3/readme"), SoundKind::Unknown);
    EXPECT_EQ(SoundKindFromPath("/a/mp3"), SoundKind::Unknown);
}

TEST(SoundFormat, AcceptsTheHeadersOfEachKind)
{
    EXPECT_EQ(CheckSoundHeader(SoundKind::Wave, Bytes(std::string("RIFF\x10\0\0\0WAVEfmt ", 16))), kMciOk);
    EXPECT_EQ(CheckSoundHeader(SoundKind::Midi, Bytes("MThd")), kMciOk);
    EXPECT_EQ(CheckSoundHeader(SoundKind::Midi, Bytes("RIFFxxxxRMIDdata")), kMciOk);
    EXPECT_EQ(CheckSoundHeader(SoundKind::Au, Bytes(".snd")), kMciOk);
    EXPECT_EQ(CheckSoundHeader(SoundKind::Au, Bytes("RIFFxxxxWAVE")), kMciOk);
    EXPECT_EQ(CheckSoundHeader(SoundKind::Aiff, Bytes("FORMxxxxAIFF")), kMciOk);
    EXPECT_EQ(CheckSoundHeader(SoundKind::Aiff, Bytes("FORMxxxxAIFC")), kMciOk);
    EXPECT_EQ(CheckSoundHeader(SoundKind::Mpeg, Bytes("ID3\x04")), kMciOk);
    // MPEG-1 layer III, 128 kbit/s, 44.1 kHz, after zero padding.
    EXPECT_EQ(CheckSoundHeader(SoundKind::Mpeg, std::vector<std::uint8_t>{0, 0, 0xFF, 0xFB, 0x90, 0x64}), kMciOk);
    const std::vector<std::uint8_t> asf{0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                        0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
    EXPECT_EQ(CheckSoundHeader(SoundKind::WindowsMedia, asf), kMciOk);
    EXPECT_EQ(CheckSoundHeader(SoundKind::Playlist, Bytes("#EXTM3U")), kMciOk);
}

TEST(SoundFormat, RefusesFilesThatCannotBeWhatTheirExtensionSays)
{
    EXPECT_EQ(CheckSoundHeader(SoundKind::Wave, {}), kMciErrInvalidFile);
    EXPECT_EQ(CheckSoundHeader(SoundKind::Wave, Bytes("RIFFxxxxAVI ")), kMciErrInvalidFile);
    EXPECT_EQ(CheckSoundHeader(SoundKind::Wave, Bytes("MThd")), kMciErrInvalidFile);
    EXPECT_EQ(CheckSoundHeader(SoundKind::Midi, Bytes("RIFFxxxxWAVE")), kMciErrInvalidFile);
    EXPECT_EQ(CheckSoundHeader(SoundKind::Aiff, Bytes("FORMxxxx8SVX")), kMciErrInvalidFile);
    EXPECT_EQ(CheckSoundHeader(SoundKind::Mpeg, Bytes("hello, world")), kMciErrInvalidFile);
    // A sync word with a reserved version or a bad bit rate is no frame.
    EXPECT_EQ(CheckSoundHeader(SoundKind::Mpeg, std::vector<std::uint8_t>{0xFF, 0xEB, 0x90, 0x64}), kMciErrInvalidFile);
    EXPECT_EQ(CheckSoundHeader(SoundKind::Mpeg, std::vector<std::uint8_t>{0xFF, 0xFB, 0xF0, 0x64}), kMciErrInvalidFile);
    EXPECT_EQ(CheckSoundHeader(SoundKind::Mpeg, std::vector<std::uint8_t>{0xFF, 0xFB}), kMciErrInvalidFile);
    EXPECT_EQ(CheckSoundHeader(SoundKind::WindowsMedia, Bytes("0&\xB2u")), kMciErrInvalidFile);
    EXPECT_EQ(CheckSoundHeader(SoundKind::Unknown, Bytes("RIFFxxxxWAVE")), kMciErrExtensionNotFound);
}
