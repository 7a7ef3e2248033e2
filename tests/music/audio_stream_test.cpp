#include "music/audio_stream.h"

#include "music/audio_test_util.h"
#include "music/sound_fixtures.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Records what a stream reports.
struct StreamLog {
    explicit StreamLog(AudioStream& stream)
    {
        QObject::connect(&stream, &AudioStream::Finished, [this] { ++finished; });
        QObject::connect(&stream, &AudioStream::Failed, [this](unsigned code, const QString& text) {
            failures.push_back(code);
            description = text.toStdString();
        });
        QObject::connect(&stream, &AudioStream::StateChanged, [this, &stream] {
            if (stream.GetState() == AudioStream::State::Playing)
                playedEntries.push_back(stream.CurrentEntry());
        });
    }
    bool Done() const { return finished > 0 || !failures.empty(); }
    int finished = 0;
    std::vector<unsigned> failures;
    std::string description;
    std::vector<std::string> playedEntries;
};

struct Family {
    const char* name;
    const char* file;
};

class AudioStreamFamily : public ::testing::TestWithParam<Family> {};

} // namespace

TEST_P(AudioStreamFamily, PlaysAFileToItsEnd)
{
    TempFolder dir;
    std::string path = dir.File(GetParam().file);
    std::string ext = path.substr(path.rfind('.'));
    if (ext == ".wav") {
        WriteWav(path, 0.4);
    } else if (ext == ".mid" || ext == ".rmi") {
        WriteMidi(path, 0.4);
    } else if (!MakeConverted(path, 0.4)) {
        GTEST_SKIP() << "no tool to make " << path;
    }

    AudioStream stream;
    StreamLog log(stream);
    ASSERT_EQ(stream.Load(path), kMciOk);
    stream.Play();
    EXPECT_EQ(stream.GetState(), AudioStream::State::Waiting);
    ASSERT_TRUE(WaitUntil([&] { return stream.GetState() == AudioStream::State::Playing || log.Done(); }, 15000));
    EXPECT_TRUE(log.failures.empty()) << log.description;
    EXPECT_GE(g_pulseServer->SinkInputs(), 1) << "no stream reached the audio server";
    ASSERT_TRUE(WaitUntil([&] { return log.Done(); }, 10000));
    EXPECT_EQ(log.finished, 1);
    EXPECT_TRUE(log.failures.empty()) << log.description;
    EXPECT_EQ(stream.GetState(), AudioStream::State::Idle);
    EXPECT_EQ(log.playedEntries, std::vector<std::string>{path});
}

INSTANTIATE_TEST_SUITE_P(Families, AudioStreamFamily,
                         ::testing::Values(Family{"Wave", "tone.wav"}, Family{"Midi", "tune.mid"},
                                           Family{"RiffMidi", "tune.rmi"}, Family{"Mp2", "tone.mp2"},
                                           Family{"Mp3", "tone.mp3"}, Family{"Wma", "tone.wma"},
                                           Family{"Au", "tone.au"}, Family{"Aiff", "tone.aiff"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AudioStream, LoadRefusesWhatCannotBePlayedAtOnce)
{
    TempFolder dir;
    AudioStream stream;
    EXPECT_EQ(stream.Load(dir.File("missing.wav")), kMciErrFileNotFound);
    EXPECT_EQ(stream.Load(dir.Path()), kMciErrFileNotFound);
    WriteText(dir.File("notes.txt"), "hello");
    EXPECT_EQ(stream.Load(dir.File("notes.txt")), kMciErrExtensionNotFound);
    WriteText(dir.File("fake.wav"), "this is no wave file");
    EXPECT_EQ(stream.Load(dir.File("fake.wav")), kMciErrInvalidFile);
    WriteText(dir.File("empty.mid"), "");
    EXPECT_EQ(stream.Load(dir.File("empty.mid")), kMciErrInvalidFile);
    WriteText(dir.File("none.m3u"), "#EXTM3U\ngone.wav\n");
    EXPECT_EQ(stream.Load(dir.File("none.m3u")), kMciErrEmptyPlaylist);
    EXPECT_EQ(stream.Load(dir.File("missing.m3u")), kMciErrFileNotFound);

    // Nothing loaded: play does nothing and reports nothing.
    StreamLog log(stream);
    stream.Play();
    RunFor(200);
    EXPECT_FALSE(log.Done());
    EXPECT_EQ(stream.GetState(), AudioStream::State::Idle);
}

TEST(AudioStream, ADamagedFileThatLooksRightFailsWhenPlayed)
{
    TempFolder dir;
    std::string path = dir.File("damaged.wav");
    WriteText(path, std::string("RIFF\x24\0\0\0WAVE", 12) + "junkjunkjunkjunkjunkjunkjunk");
    AudioStream stream;
    StreamLog log(stream);
    ASSERT_EQ(stream.Load(path), kMciOk);
    stream.Play();
    EXPECT_FALSE(log.Done()) << "reported from inside Play";
    ASSERT_TRUE(WaitUntil([&] { return log.Done(); }, 10000));
    EXPECT_EQ(log.finished, 0);
    EXPECT_EQ(log.failures, std::vector<unsigned>{kMciErrPlaybackFailed});
    EXPECT_FALSE(log.description.empty());
}

TEST(AudioStream, PlaylistPlaysItsEntriesInOrderSkippingMissingOnes)
{
    TempFolder dir;
    WriteWav(dir.File("first.wav"), 0.3);
    WriteMidi(dir.File("second.mid"), 0.3);
    WriteText(dir.File("damaged.wav"), "RIFF");
    WriteText(dir.File("list.m3u"), "#EXTM3U\r\nfirst.wav\r\nmissing.wav\r\ndamaged.wav\r\n" + dir.File("second.mid") + "\r\n");
    AudioStream stream;
    StreamLog log(stream);
    ASSERT_EQ(stream.Load(dir.File("list.m3u")), kMciOk);
    stream.Play();
    ASSERT_TRUE(WaitUntil([&] { return log.Done(); }, 15000));
    EXPECT_EQ(log.finished, 1);
    EXPECT_TRUE(log.failures.empty());
    EXPECT_EQ(log.playedEntries, (std::vector<std::string>{dir.File("first.wav"), dir.File("second.mid")}));
}

TEST(AudioStream, PlaylistOfDamagedFilesFails)
{
    TempFolder dir;
    WriteText(dir.File("a.wav"), "RIFF");
    WriteText(dir.File("b.mid"), "MThd");
    WriteText(dir.File("list.m3u"), "a.wav\nb.mid\n");
    AudioStream stream;
    StreamLog log(stream);
    ASSERT_EQ(stream.Load(dir.File("list.m3u")), kMciOk);
    stream.Play();
    ASSERT_TRUE(WaitUntil([&] { return log.Done(); }, 10000));
    EXPECT_EQ(log.failures, std::vector<unsigned>{kMciErrNothingPlayable});
}

TEST(AudioStream, StopEndsPlaybackWithoutAReport)
{
    TempFolder dir;
    WriteWav(dir.File("long.wav"), 5);
    AudioStream stream;
    StreamLog log(stream);
    ASSERT_EQ(stream.Load(dir.File("long.wav")), kMciOk);
    stream.Play();
    ASSERT_TRUE(WaitUntil([&] { return stream.GetState() == AudioStream::State::Playing; }, 10000));
    stream.Stop();
    EXPECT_EQ(stream.GetState(), AudioStream::State::Idle);
    RunFor(300);
    EXPECT_FALSE(log.Done());

    // Played again, the same file starts from its beginning.
    stream.Play();
    ASSERT_TRUE(WaitUntil([&] { return stream.GetState() == AudioStream::State::Playing; }, 10000));
    EXPECT_EQ(log.playedEntries.size(), 2u);
}
