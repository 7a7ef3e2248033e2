#include "music/media_player2.h"

#include "music/audio_errors.h"

#include "music/audio_test_util.h"
#include "music/sound_fixtures.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct ControlEvents {
    explicit ControlEvents(CMediaPlayer2& control)
    {
        QObject::connect(&control, &CMediaPlayer2::EndOfStream, [this](int result) { ends.push_back(result); });
        QObject::connect(&control, &CMediaPlayer2::Error, [this] { ++errors; });
        QObject::connect(&control, &CMediaPlayer2::PlayStateChange,
                         [this](int, int state) { states.push_back(state); });
    }
    std::vector<int> ends;
    int errors = 0;
    std::vector<int> states;
};

void CreateWithOptions(CMediaPlayer2& control)
{
    ASSERT_TRUE(control.Create());
    control.SetAutoStart(true);
    control.SetSendErrorEvents(true);
    control.SetSendPlayStateChangeEvents(true);
}

} // namespace

TEST(MediaPlayer2, OpenStartsPlaybackByItselfAndEndsWithAnEvent)
{
    TempFolder dir;
    WriteWav(dir.File("tone.wav"), 0.4);
    CMediaPlayer2 control;
    EXPECT_EQ(control.GetPlayState(), CMediaPlayer2::kStopped);
    CreateWithOptions(control);
    ControlEvents events(control);
    control.Open(dir.File("tone.wav"));
    EXPECT_EQ(control.GetPlayState(), CMediaPlayer2::kWaiting);
    EXPECT_TRUE(events.ends.empty()) << "events come from the event loop";
    ASSERT_TRUE(WaitUntil([&] { return !events.ends.empty(); }, 10000));
    EXPECT_EQ(events.ends, std::vector<int>{0});
    EXPECT_EQ(events.errors, 0);
    EXPECT_EQ(control.GetPlayState(), CMediaPlayer2::kStopped);
    EXPECT_EQ(events.states, (std::vector<int>{CMediaPlayer2::kWaiting, CMediaPlayer2::kPlaying,
                                               CMediaPlayer2::kStopped}));
}

TEST(MediaPlayer2, FileThatCannotBePlayedRaisesTheErrorEvent)
{
    TempFolder dir;
    WriteText(dir.File("fake.wma"), "not a media file");
    WriteText(dir.File("damaged.wav"), std::string("RIFF\x24\0\0\0WAVE", 12) + "junkjunkjunkjunk");
    CMediaPlayer2 control;
    CreateWithOptions(control);
    ControlEvents events(control);

    control.Open(dir.File("fake.wma"));
    EXPECT_EQ(control.GetPlayState(), CMediaPlayer2::kStopped);
    ASSERT_TRUE(WaitUntil([&] { return events.errors == 1; }, 2000));
    EXPECT_EQ(control.GetErrorCode(), static_cast<int>(kMciErrInvalidFile));
    EXPECT_EQ(control.GetErrorDescription(), MciErrorText(kMciErrInvalidFile));

    control.Open(dir.File("damaged.wav"));
    ASSERT_TRUE(WaitUntil([&] { return events.errors == 2; }, 10000));
    EXPECT_EQ(control.GetErrorCode(), static_cast<int>(kMciErrPlaybackFailed));
    EXPECT_NE(control.GetErrorDescription().find(MciErrorText(kMciErrPlaybackFailed)), std::string::npos);
    EXPECT_EQ(control.GetPlayState(), CMediaPlayer2::kStopped);
    EXPECT_TRUE(events.ends.empty());
}

TEST(MediaPlayer2, OptionsOffMeanNoStartAndNoEvents)
{
    TempFolder dir;
    WriteWav(dir.File("tone.wav"), 0.2);
    CMediaPlayer2 control;
    ASSERT_TRUE(control.Create());
    ControlEvents events(control);
    control.Open(dir.File("tone.wav"));
    control.Open(dir.File("missing.wav"));
    RunFor(600);
    EXPECT_EQ(control.GetPlayState(), CMediaPlayer2::kStopped);
    EXPECT_EQ(events.errors, 0);
    EXPECT_EQ(control.GetErrorCode(), static_cast<int>(kMciErrFileNotFound));
    EXPECT_TRUE(events.ends.empty());
    EXPECT_TRUE(events.states.empty());
}

TEST(MediaPlayer2, DestroyStopsAtOnceAndSilencesTheControl)
{
    TempFolder dir;
    WriteWav(dir.File("long.wav"), 5);
    CMediaPlayer2 control;
    CreateWithOptions(control);
    ControlEvents events(control);
    control.Open(dir.File("long.wav"));
    ASSERT_TRUE(WaitUntil([&] { return control.GetPlayState() == CMediaPlayer2::kPlaying; }, 10000));
    control.Destroy();
    EXPECT_FALSE(control.IsCreated());
    EXPECT_EQ(control.GetPlayState(), CMediaPlayer2::kStopped);
    ASSERT_TRUE(WaitUntil([] { return g_pulseServer->SinkInputs() == 0; }, 3000));
    control.Open(dir.File("long.wav"));
    RunFor(200);
    EXPECT_TRUE(events.ends.empty());
    EXPECT_EQ(events.errors, 0);
    control.Destroy();
}
