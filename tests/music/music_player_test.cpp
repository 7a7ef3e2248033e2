#include "music/music_player.h"

#include "app/saver_settings.h"
#include "app/test_log.h"
#include "music/audio_test_util.h"
#include "music/sound_fixtures.h"
#include "res/string_table.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

// Drives the supervision as a saver window does: a 40 ms tick, the check on
// every 20th.
class SupervisionTicker {
public:
    explicit SupervisionTicker(MusicPlayer& player)
    {
        timer_.setInterval(40);
        QObject::connect(&timer_, &QTimer::timeout, [this, &player] {
            if (++ticks_ % 20 == 0) {
                ++checks_;
                player.Supervise();
            }
        });
        timer_.start();
    }
    int Checks() const { return checks_; }

private:
    QTimer timer_;
    int ticks_ = 0;
    int checks_ = 0;
};

class MusicPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings.SndRandom = 0;
        settings.SaveLastSound = 0;
    }
    void SetSounds(std::vector<std::string> files)
    {
        settings.SoundFiles = files;
        settings.AllSoundFiles = files;
    }
    int Count(const std::string& message) const
    {
        auto lines = log.Messages();
        return static_cast<int>(std::count(lines.begin(), lines.end(), message));
    }
    bool WaitCount(const std::string& message, int n, int ms = 15000)
    {
        return WaitUntil([&] { return Count(message) >= n; }, ms);
    }
    // Position of the first line equal to message at or after from, or -1.
    int Find(const std::string& message, int from = 0) const
    {
        auto lines = log.Messages();
        for (int i = from; i < static_cast<int>(lines.size()); ++i) {
            if (lines[i] == message)
                return i;
        }
        return -1;
    }

    ScopedTestLog log;
    TempFolder dir;
    CSaverSettings settings;
};

} // namespace

TEST_F(MusicPlayerTest, ControlPlaysAOneFileListAgainAndAgain)
{
    WriteWav(dir.File("tone.wav"), 0.3);
    SetSounds({dir.File("tone.wav")});
    MusicPlayer player(settings);
    player.Start();
    EXPECT_TRUE(player.PlayerCreated());
    EXPECT_FALSE(player.MciOpen());
    EXPECT_EQ(Find("         Using Windows Media Player Control"), 0);
    const std::string playing = "PlayMusicMP: Playing file " + dir.File("tone.wav");
    ASSERT_TRUE(WaitCount(playing, 3));
    EXPECT_GE(Count("OnEndOfStreamMediaPlayer: 0"), 2);
    EXPECT_EQ(Count("PlayMusic: Index=0"), 1);
    EXPECT_GE(Count("PlayMusic: Index=1"), 1);

    player.Stop();
    EXPECT_FALSE(player.PlayerCreated());
    EXPECT_EQ(Count("StopMusic: Media Player Control destroyed"), 1);
    int plays = Count(playing);
    RunFor(900);
    player.Supervise();
    EXPECT_EQ(Count(playing), plays) << "nothing plays after the stop";
}

TEST_F(MusicPlayerTest, SndUseMciPlaysThroughTheCommandInterfaceAgainAndAgain)
{
    settings.SndUseMCI = 1;
    WriteMidi(dir.File("tune.mid"), 0.3);
    SetSounds({dir.File("tune.mid")});
    MusicPlayer player(settings);
    player.Start();
    EXPECT_FALSE(player.PlayerCreated());
    EXPECT_TRUE(player.MciOpen());
    EXPECT_EQ(Find("         Using Windows Media Player Control"), -1);
    EXPECT_EQ(Find("ScrInit: Can't Create Windows Media Player Control, Using MCI"), -1);
    const std::string playing = "PlayMusicMCI: Playing file " + dir.File("tune.mid");
    ASSERT_TRUE(WaitCount(playing, 3));
    EXPECT_GE(Count("OnMciNotify Flags=1"), 2);
    EXPECT_EQ(Count("OnMciNotify Unknown Flag !"), 0);
    EXPECT_EQ(Find("Mci Error closing sound device: " + MciErrorText(kMciErrInvalidDeviceName)), -1);
}

TEST_F(MusicPlayerTest, StopAbortsTheCommandInterfaceWhichOnlyLogsTheUnknownFlag)
{
    settings.SndUseMCI = 1;
    WriteWav(dir.File("long.wav"), 5);
    SetSounds({dir.File("long.wav")});
    MusicPlayer player(settings);
    player.Start();
    ASSERT_TRUE(player.MciOpen());
    ASSERT_TRUE(WaitUntil([] { return g_pulseServer->SinkInputs() >= 1; }, 10000));
    player.Stop();
    EXPECT_FALSE(player.MciOpen());
    EXPECT_EQ(Count("StopMusic: stop tsvsound, close tsvsound"), 1);
    ASSERT_TRUE(WaitCount("OnMciNotify Unknown Flag !", 1, 2000));
    int flags = Find("OnMciNotify Flags=4");
    ASSERT_GE(flags, 0);
    EXPECT_EQ(Find("OnMciNotify Unknown Flag !", flags), flags + 1);
    RunFor(300);
    EXPECT_EQ(Count("PlayMusicMCI: Playing file " + dir.File("long.wav")), 1);
    EXPECT_TRUE(WaitUntil([] { return g_pulseServer->SinkInputs() == 0; }, 3000)) << "the music stops at once";
    player.Stop();
    EXPECT_EQ(Count("StopMusic: stop tsvsound, close tsvsound"), 1);
}

TEST_F(MusicPlayerTest, CommandInterfaceSkipsAFileItCannotOpenWithinOneSupervision)
{
    settings.SndUseMCI = 1;
    WriteText(dir.File("a-broken.wav"), "not a wave file");
    WriteWav(dir.File("b-good.wav"), 0.3);
    SetSounds({dir.File("a-broken.wav"), dir.File("b-good.wav")});
    MusicPlayer player(settings);
    SupervisionTicker ticker(player);
    auto start = Clock::now();
    player.Start();
    EXPECT_FALSE(player.MciOpen());
    const std::string good = "PlayMusicMCI: Playing file " + dir.File("b-good.wav");
    ASSERT_TRUE(WaitCount(good, 1, 3000));
    // The first check (800 ms of ticks; more on a busy machine) moved on.
    EXPECT_EQ(ticker.Checks(), 1);
    EXPECT_LE(Clock::now() - start, std::chrono::milliseconds(2000));
    EXPECT_TRUE(player.MciOpen());

    std::string open = MusicPlayer::MciOpenCommand(dir.File("a-broken.wav"));
    int first = Find("PlayMusicMCI: Playing file " + dir.File("a-broken.wav"));
    ASSERT_GE(first, 0);
    EXPECT_EQ(Find(FormatStringId(IDS_CANT_PLAY, dir.File("a-broken.wav").c_str()), first), first + 1);
    // The second text holds a line break: the log file shows it as two lines.
    EXPECT_EQ(Find("MCI Error: " + MciErrorText(kMciErrInvalidFile), first), first + 2);
    EXPECT_EQ(Find("Command: " + open, first), first + 3);
    EXPECT_EQ(Find("Music Not Playing, now playing again", first), first + 4);
}

TEST_F(MusicPlayerTest, ControlSkipsAFileItCannotPlayWithinOneSupervision)
{
    WriteText(dir.File("a-broken.mp3"), "not an mp3 file");
    WriteWav(dir.File("b-good.wav"), 0.3);
    SetSounds({dir.File("a-broken.mp3"), dir.File("b-good.wav")});
    MusicPlayer player(settings);
    SupervisionTicker ticker(player);
    auto start = Clock::now();
    player.Start();
    ASSERT_TRUE(player.PlayerCreated());
    const std::string good = "PlayMusicMP: Playing file " + dir.File("b-good.wav");
    ASSERT_TRUE(WaitCount(good, 1, 3000));
    EXPECT_EQ(ticker.Checks(), 1);
    EXPECT_LE(Clock::now() - start, std::chrono::milliseconds(2000));
    char error[512];
    std::snprintf(error, sizeof error, "Media Player Error: %x - %s", kMciErrInvalidFile,
                  MciErrorText(kMciErrInvalidFile).c_str());
    int first = Find("PlayMusicMP: Playing file " + dir.File("a-broken.mp3"));
    ASSERT_GE(first, 0);
    EXPECT_GT(Find(error, first), first);
    EXPECT_EQ(Find("Music Not Playing: State=0, now playing again"), Find(good) - 2);
    ASSERT_TRUE(WaitCount("OnEndOfStreamMediaPlayer: 0", 1, 10000));
}

TEST_F(MusicPlayerTest, PlaylistOfTwoEntriesPlaysBothThroughEitherBackEnd)
{
    WriteWav(dir.File("one.wav"), 0.5);
    WriteMidi(dir.File("two.mid"), 0.5);
    WriteText(dir.File("list.m3u"), "#EXTM3U\none.wav\ntwo.mid\n");
    SetSounds({dir.File("list.m3u")});
    for (int useMci : {0, 1}) {
        SCOPED_TRACE(useMci ? "command interface" : "control");
        settings.SndUseMCI = useMci;
        settings.LastSoundIndex = -1;
        MusicPlayer player(settings);
        auto start = Clock::now();
        player.Start();
        const std::string end = useMci ? "OnMciNotify Flags=1" : "OnEndOfStreamMediaPlayer: 0";
        int before = Count(end);
        ASSERT_TRUE(WaitCount(end, before + 1, 15000));
        // One end for the whole list, after both entries played in real time.
        EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(950));
        player.Stop();
    }
}

TEST_F(MusicPlayerTest, PathWithDoubleQuotesPlaysThroughTheCommandInterface)
{
    settings.SndUseMCI = 1;
    std::string path = dir.File("say \"hi\" alias x.wav");
    WriteWav(path, 0.2);
    SetSounds({path});
    MusicPlayer player(settings);
    player.Start();
    EXPECT_TRUE(player.MciOpen());
    EXPECT_EQ(MusicPlayer::MciOpenCommand(path), "open \"" + dir.File("say \"\"hi\"\" alias x.wav") + "\" alias tsvsound");
    ASSERT_TRUE(WaitCount("OnMciNotify Flags=1", 1));
}

TEST_F(MusicPlayerTest, EmptySoundListPlaysNothing)
{
    MusicPlayer player(settings);
    player.Start();
    player.Supervise();
    EXPECT_FALSE(player.PlayerCreated());
    EXPECT_FALSE(player.MciOpen());
    player.Stop();
    player.Stop();
    RunFor(100);
    EXPECT_TRUE(log.Messages().empty());
}

TEST_F(MusicPlayerTest, SupervisionRestartsStoppedMusicOnlyWhenNeeded)
{
    WriteWav(dir.File("long.wav"), 5);
    SetSounds({dir.File("long.wav")});
    MusicPlayer player(settings);
    player.Start();
    ASSERT_TRUE(WaitUntil([] { return g_pulseServer->SinkInputs() >= 1; }, 10000));
    player.Supervise();
    player.Supervise();
    EXPECT_EQ(Find("Music Not Playing: State=2, now playing again"), -1);
    EXPECT_EQ(Count("PlayMusicMP: Playing file " + dir.File("long.wav")), 1);
}
