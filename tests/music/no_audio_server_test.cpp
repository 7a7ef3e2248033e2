// Without any audio output the control cannot be created: the player falls
// back to the command interface, whose open then fails and is logged.
#include "music/music_player.h"

#include "app/saver_settings.h"
#include "app/test_log.h"
#include "music/audio_test_util.h"
#include "music/pulse_server.h"
#include "music/sound_fixtures.h"
#include "res/string_table.h"

#include <QAudioDevice>
#include <QMediaDevices>

#include <gtest/gtest.h>

PulseServer* g_pulseServer = nullptr;

TEST(MusicWithoutAudioOutput, FallsBackToTheCommandInterfaceAndLogsItsFailure)
{
    if (!QMediaDevices::audioOutputs().isEmpty())
        GTEST_SKIP() << "this machine has an audio output without a sound server";
    ScopedTestLog log;
    TempFolder dir;
    WriteWav(dir.File("tone.wav"), 0.2);
    CSaverSettings settings;
    settings.SndRandom = 0;
    settings.SaveLastSound = 0;
    settings.SoundFiles = settings.AllSoundFiles = {dir.File("tone.wav")};

    MusicPlayer player(settings);
    player.Start();
    EXPECT_FALSE(player.PlayerCreated());
    EXPECT_FALSE(player.MciOpen());
    player.Supervise();
    auto lines = log.Messages();
    const std::string path = dir.File("tone.wav");
    const std::vector<std::string> expected = {
        "ScrInit: Can't Create Windows Media Player Control, Using MCI",
        "PlayMusic: Index=0",
        "PlayMusicMCI: Playing file " + path,
        FormatStringId(IDS_CANT_PLAY, path.c_str()),
        "MCI Error: " + MciErrorText(kMciErrNoAudioDevice),
        "Command: " + MusicPlayer::MciOpenCommand(path),
        "Music Not Playing, now playing again",
        "PlayMusic: Index=1",
        "PlayMusicMCI: Playing file " + path,
    };
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + expected.size()), expected);
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    UseNoAudioServer();
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
