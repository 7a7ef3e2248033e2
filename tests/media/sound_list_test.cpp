#include "media/sound_list.h"
#include "media/sort_file_list.h"

#include "app/test_log.h"
#include "media/media_test_fixture.h"
#include "media/temp_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {
class SoundListTest : public MediaTest {
protected:
    SoundListTest()
    {
        for (const char* f : {"m/a.mid", "m/b.RMI", "m/c.midi", "m/d.wav", "m/e.snd", "m/f.au", "m/g.aif",
                              "m/h.aifc", "m/i.aiff", "m/j.mp3", "m/k.m3u", "m/l.mp2", "m/sub/m.wma",
                              "m/n.wm", "m/o.asf", "m/p.ogg", "m/.q.mp3"})
            tree.File(f);
        settings.SoundFolders = {tree.Path("m")};
    }
    void Only(int mid, int wav, int mp3, int wma)
    {
        settings.IncludeMid = mid;
        settings.IncludeWav = wav;
        settings.IncludeMP3 = mp3;
        settings.IncludeWMA = wma;
    }
    TempTree tree;
};
} // namespace

TEST_F(SoundListTest, MasksFollowTheIncludeSettings)
{
    Only(0, 0, 0, 0);
    EXPECT_EQ(BuildSndList(settings, false), 0);
    EXPECT_TRUE(settings.SoundFiles.empty());

    Only(0, 0, 1, 0);
    settings.ImageSortType = 1; // does not apply to sounds
    EXPECT_EQ(BuildSndList(settings, false), 3);
    EXPECT_EQ(settings.SoundFiles, (StringList{tree.Path("m/j.mp3"), tree.Path("m/k.m3u"), tree.Path("m/l.mp2")}));
    EXPECT_EQ(settings.AllSoundFiles, settings.SoundFiles);

    Only(1, 0, 0, 0);
    EXPECT_EQ(BuildSndList(settings, false), 3);
    Only(0, 1, 0, 0);
    EXPECT_EQ(BuildSndList(settings, false), 6);
    Only(0, 0, 0, 1);
    EXPECT_EQ(BuildSndList(settings, false), 3);
    settings.SndRecursive = 0;
    EXPECT_EQ(BuildSndList(settings, false), 2);
}

TEST_F(SoundListTest, FullListIsOrderedByPathAndCountingLeavesItAlone)
{
    settings.SoundFolders = {tree.Path("m") + "/sub", tree.Path("m")};
    EXPECT_EQ(BuildSndList(settings, false), 16);
    EXPECT_TRUE(std::is_sorted(settings.SoundFiles.begin(), settings.SoundFiles.end(),
                               [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; }));
    const StringList full = settings.AllSoundFiles;
    settings.SoundFolders = {tree.Path("m")};
    EXPECT_EQ(BuildSndList(settings, true), 15);
    EXPECT_TRUE(settings.SoundFiles.empty());
    EXPECT_EQ(settings.AllSoundFiles, full);
}

TEST_F(SoundListTest, DisabledFoldersAreLoggedAsStoredAndContributeNothing)
{
    settings.SoundFolders = {":" + tree.Path("m"), tree.Path("m/sub")};
    ScopedTestLog log;
    EXPECT_EQ(BuildSndList(settings, false), 1);
    EXPECT_EQ(log.Messages(), (std::vector<std::string>{"BuildSndList", "         SndPath=:" + tree.Path("m"),
                                                        "         SndPath=" + tree.Path("m/sub")}));
}

TEST_F(SoundListTest, SequentialLogsTheIndexBeforeTheWrap)
{
    settings.SndRandom = 0;
    settings.SoundFiles = {"x", "y", "z"};
    settings.LastSoundIndex = 2;
    ScopedTestLog log;
    EXPECT_EQ(PlayMusic(settings), "x");
    EXPECT_EQ(PlayMusic(settings), "y");
    EXPECT_EQ(log.Messages(), (std::vector<std::string>{"PlayMusic: Index=3", "PlayMusic: Index=1"}));
    EXPECT_EQ(store.Writes(), (std::vector<std::string>{"Settings/LastSoundIndex=0", "Settings/LastSoundIndex=1"}));

    store.ClearWrites();
    settings.SaveLastSound = 0;
    EXPECT_EQ(PlayMusic(settings), "z");
    EXPECT_TRUE(store.Writes().empty());
}

TEST_F(SoundListTest, RandomPlaysBothThenRefills)
{
    settings.SoundFiles = settings.AllSoundFiles = {"x", "y"};
    ScopedTestLog log;
    std::set<std::string> played{PlayMusic(settings)};
    EXPECT_EQ(settings.SoundFiles.size(), 1u);
    played.insert(PlayMusic(settings));
    EXPECT_EQ(played, (std::set<std::string>{"x", "y"}));
    EXPECT_EQ(settings.SoundFiles, (StringList{"x", "y"}));
    auto m = log.Messages();
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].rfind("PlayMusic: GetRandom(2)= ", 0), 0u);
    EXPECT_EQ(m[1], "PlayMusic: Random, Last File");
    EXPECT_TRUE(store.Writes().empty());

    settings.SoundFiles.clear();
    EXPECT_EQ(PlayMusic(settings), "");
    EXPECT_EQ(log.Messages().back(), "PlayMusic: File List Empty !");
}
