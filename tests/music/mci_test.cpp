#include "music/mci.h"

#include "music/audio_test_util.h"
#include "music/sound_fixtures.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Stands for a window that receives completion notifications.
class NotifyReceiver : public QObject {
public:
    std::vector<unsigned> flags;

protected:
    void customEvent(QEvent* event) override
    {
        if (event->type() == MciNotifyEvent::Type())
            flags.push_back(static_cast<MciNotifyEvent*>(event)->Flags());
    }
};

class MciTest : public ::testing::Test {
protected:
    std::string Open(const std::string& path, const char* alias = "tsvsound")
    {
        std::string answer;
        MciError err = mci.SendString("open \"" + path + "\" alias " + alias, &answer, nullptr);
        EXPECT_EQ(err, kMciOk) << MciSystem::GetErrorString(err);
        return answer;
    }
    std::string Status(const char* item)
    {
        std::string answer;
        EXPECT_EQ(mci.SendString(std::string("status tsvsound ") + item, &answer, nullptr), kMciOk);
        return answer;
    }
    bool WaitFlags(std::size_t count, int ms = 10000)
    {
        return WaitUntil([&] { return receiver.flags.size() >= count; }, ms);
    }

    TempFolder dir;
    NotifyReceiver receiver;
    MciSystem mci;
};

} // namespace

TEST_F(MciTest, PlayNotifyReportsSuccessAtTheEnd)
{
    WriteWav(dir.File("tone.wav"), 0.4);
    EXPECT_EQ(Open(dir.File("tone.wav")), "1");
    EXPECT_EQ(Status("mode"), "stopped");
    ASSERT_EQ(mci.SendString("play tsvsound notify", nullptr, &receiver), kMciOk);
    ASSERT_TRUE(WaitUntil([&] { return Status("mode") == "playing"; }, 10000));
    ASSERT_TRUE(WaitFlags(1));
    EXPECT_EQ(receiver.flags, std::vector<unsigned>{kMciNotifySuccessful});
    EXPECT_EQ(Status("mode"), "stopped");
    EXPECT_EQ(mci.SendString("close tsvsound", nullptr, &receiver), kMciOk);
    EXPECT_EQ(mci.OpenDevices(), 0u);
    RunFor(100);
    EXPECT_EQ(receiver.flags.size(), 1u) << "closing a finished device notifies nobody";
}

TEST_F(MciTest, StopCloseOrANewPlayAbortTheWaitingNotification)
{
    WriteWav(dir.File("long.wav"), 5);
    Open(dir.File("long.wav"));
    ASSERT_EQ(mci.SendString("play tsvsound notify", nullptr, &receiver), kMciOk);
    ASSERT_EQ(mci.SendString("play tsvsound notify", nullptr, &receiver), kMciOk);
    ASSERT_TRUE(WaitFlags(1));
    EXPECT_EQ(receiver.flags.back(), kMciNotifyAborted);

    ASSERT_EQ(mci.SendString("stop tsvsound", nullptr, &receiver), kMciOk);
    ASSERT_TRUE(WaitFlags(2));
    EXPECT_EQ(receiver.flags.back(), kMciNotifyAborted);
    EXPECT_EQ(Status("mode"), "stopped");

    ASSERT_EQ(mci.SendString("play tsvsound notify", nullptr, &receiver), kMciOk);
    ASSERT_TRUE(WaitUntil([&] { return Status("mode") == "playing"; }, 10000));
    ASSERT_EQ(mci.SendString("close tsvsound", nullptr, &receiver), kMciOk);
    ASSERT_TRUE(WaitFlags(3));
    EXPECT_EQ(receiver.flags, (std::vector<unsigned>{kMciNotifyAborted, kMciNotifyAborted, kMciNotifyAborted}));
    RunFor(200);
    EXPECT_EQ(receiver.flags.size(), 3u);
}

TEST_F(MciTest, AnotherNotifyingCommandSupersedesThePlayNotification)
{
    WriteWav(dir.File("long.wav"), 5);
    Open(dir.File("long.wav"));
    NotifyReceiver other;
    ASSERT_EQ(mci.SendString("play tsvsound notify", nullptr, &receiver), kMciOk);
    std::string mode;
    ASSERT_EQ(mci.SendString("status tsvsound mode notify", &mode, &other), kMciOk);
    ASSERT_TRUE(WaitFlags(1));
    EXPECT_EQ(receiver.flags, std::vector<unsigned>{kMciNotifySuperseded});
    ASSERT_TRUE(WaitUntil([&] { return !other.flags.empty(); }, 1000));
    EXPECT_EQ(other.flags, std::vector<unsigned>{kMciNotifySuccessful});
    // The sound plays on.
    EXPECT_NE(Status("mode"), "stopped");
}

TEST_F(MciTest, ADamagedFileReportsFailure)
{
    WriteText(dir.File("damaged.mid"), "MThd\0\0\0\6garbage-garbage");
    Open(dir.File("damaged.mid"));
    ASSERT_EQ(mci.SendString("play tsvsound notify", nullptr, &receiver), kMciOk);
    ASSERT_TRUE(WaitFlags(1));
    EXPECT_EQ(receiver.flags, std::vector<unsigned>{kMciNotifyFailure});
}

TEST_F(MciTest, CommandErrors)
{
    WriteWav(dir.File("tone.wav"), 0.2);
    WriteText(dir.File("fake.mp3"), "no sound here");
    EXPECT_EQ(mci.SendString("play tsvsound notify", nullptr, &receiver), kMciErrInvalidDeviceName);
    EXPECT_EQ(mci.SendString("close tsvsound", nullptr, &receiver), kMciErrInvalidDeviceName);
    EXPECT_EQ(mci.SendString("open \"" + dir.File("missing.wav") + "\" alias tsvsound", nullptr, nullptr),
              kMciErrFileNotFound);
    EXPECT_EQ(mci.SendString("open \"" + dir.File("fake.mp3") + "\" alias tsvsound", nullptr, nullptr),
              kMciErrInvalidFile);
    EXPECT_EQ(mci.OpenDevices(), 0u);
    Open(dir.File("tone.wav"));
    EXPECT_EQ(mci.SendString("open \"" + dir.File("tone.wav") + "\" alias TSVSOUND", nullptr, nullptr),
              kMciErrDuplicateAlias);
    std::string answer = "old";
    EXPECT_EQ(mci.SendString("status tsvsound volume", &answer, nullptr), kMciErrUnsupportedFunction);
    EXPECT_EQ(answer, "");
    EXPECT_EQ(mci.SendString("rewind tsvsound", nullptr, nullptr), kMciErrUnrecognizedCommand);
    EXPECT_EQ(mci.OpenDevices(), 1u);
    RunFor(100);
    EXPECT_TRUE(receiver.flags.empty());
}

TEST_F(MciTest, DeviceWithoutAliasIsNamedByItsFile)
{
    WriteWav(dir.File("tone.wav"), 0.2);
    ASSERT_EQ(mci.SendString("open " + dir.File("tone.wav") + " notify", nullptr, &receiver), kMciOk);
    ASSERT_TRUE(WaitFlags(1));
    EXPECT_EQ(receiver.flags, std::vector<unsigned>{kMciNotifySuccessful});
    EXPECT_EQ(mci.SendString("close " + dir.File("tone.wav"), nullptr, nullptr), kMciOk);
}
