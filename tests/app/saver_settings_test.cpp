#include "app/profile_store.h"
#include "app/saver_settings.h"
#include "app/test_log.h"

#include <gtest/gtest.h>

namespace {
const CSaverSettings::FirstRunFolders kFirstRun{"/usr/share/backgrounds", "/home/u/Pictures"};
}

TEST(SaverSettings, EmptyStoreLoadsDefaultsAndFirstRunFolders)
{
    MemoryProfileStore store;
    CSaverSettings s;
    s.Load(store, kFirstRun);
    EXPECT_EQ(s.Delay, 15);
    EXPECT_EQ(s.SpinX, 40);
    EXPECT_EQ(s.SpinY, 60);
    EXPECT_EQ(s.CubeSize, 70);
    EXPECT_EQ(s.CubeFloat, 1);
    EXPECT_EQ(s.ShowMoreFormats, 1);
    EXPECT_EQ(s.LastImageIndex, -1);
    EXPECT_EQ(s.LastSoundIndex, -1);
    EXPECT_EQ(s.ImageFolders, (StringList{"/usr/share/backgrounds", "/home/u/Pictures"}));
    EXPECT_TRUE(s.SoundFolders.empty());
    // Loading writes nothing.
    EXPECT_TRUE(store.Writes().empty());

    CSaverSettings onlyUser;
    onlyUser.Load(store, {"", "/home/u/Pictures"});
    EXPECT_EQ(onlyUser.ImageFolders, (StringList{"/home/u/Pictures"}));
}

TEST(SaverSettings, HandEditedStoreKeepsGoodValuesAndDefaultsTheRest)
{
    MemoryProfileStore store;
    store.Set("Settings", "Delay", "7");
    store.Set("Settings", "SpinX", "fast");        // garbage
    store.Set("Settings", "SpinY", "");            // empty
    store.Set("Settings", "BackColor", "4294967295"); // the pattern of -1
    store.Set("Settings", "SpeedX", "99999999999"); // beyond 32 bits
    store.Set("Settings", "SaveLastImage", "0");
    store.Set("Settings", "ShowMoreFormats", "0");
    store.Set("Settings", "LastImageIndex", "12");
    store.Set("Settings", "LastSoundIndex", "3");
    store.Set("Paths", "Count", "3");
    store.Set("Paths", "Path0", "/a");
    store.Set("Paths", "Path2", ":/c");
    CSaverSettings s;
    s.Load(store, kFirstRun);
    EXPECT_EQ(s.Delay, 7);
    EXPECT_EQ(s.SpinX, 40);
    EXPECT_EQ(s.SpinY, 60);
    EXPECT_EQ(s.BackColor, -1);
    EXPECT_EQ(s.SpeedX, 60);
    EXPECT_EQ(s.ShowMoreFormats, 0);
    // LastImageIndex is read only when SaveLastImage is on.
    EXPECT_EQ(s.LastImageIndex, -1);
    EXPECT_EQ(s.LastSoundIndex, 3);
    // The empty Path1 is dropped, order and the disabled marker are kept.
    EXPECT_EQ(s.ImageFolders, (StringList{"/a", ":/c"}));
}

TEST(SaverSettings, LegacyFoldersAndEmptiedList)
{
    MemoryProfileStore legacy;
    legacy.Set("Settings", "ImagesPath", "/old/photos");
    legacy.Set("Settings", "SoundsPath", "/old/music");
    CSaverSettings s;
    s.Load(legacy, kFirstRun);
    EXPECT_EQ(s.ImageFolders, (StringList{"/old/photos"}));
    EXPECT_EQ(s.SoundFolders, (StringList{"/old/music"}));
    s.Save(legacy);
    EXPECT_EQ(legacy.Raw("Settings", "ImagesPath"), "");
    EXPECT_EQ(legacy.Raw("Paths", "Path0"), "/old/photos");
    EXPECT_EQ(legacy.Raw("Paths", "Count"), "1");

    // A list the user emptied (Count 0) is not seeded again.
    MemoryProfileStore emptied;
    emptied.Set("Paths", "Count", "0");
    CSaverSettings e;
    e.Load(emptied, kFirstRun);
    EXPECT_TRUE(e.ImageFolders.empty());
}

TEST(SaverSettings, SaveWritesTheKeysInOrderAndLeavesStaleEntries)
{
    MemoryProfileStore store;
    for (int i = 0; i < 5; ++i)
        store.Set("Paths", "Path" + std::to_string(i), "/p" + std::to_string(i));
    store.Set("Paths", "Count", "5");
    CSaverSettings s;
    s.Load(store, kFirstRun);
    s.ImageFolders.resize(3);
    s.SoundFolders = {"/m"};
    store.ClearWrites();
    s.Save(store);
    const std::vector<std::string> expected = {
        "Settings/Delay=15", "Settings/Recursive=1", "Settings/Random=1",
        "Paths/Path0=/p0", "Paths/Path1=/p1", "Paths/Path2=/p2", "Paths/Count=3",
        "Settings/ImagesPath=", "Settings/SaveLastImage=1", "Settings/ImageSortType=0",
        "Settings/SortNewFirst=1", "Settings/BackColor=0", "Settings/ExitMMove=1",
        "Settings/ExitMClick=1", "Settings/ExitKClick=1", "SndPaths/Path0=/m", "SndPaths/Count=1",
        "Settings/SoundsPath=", "Settings/SndRecursive=1", "Settings/SndRandom=1",
        "Settings/IncludeMid=1", "Settings/IncludeWav=1", "Settings/IncludeMP3=1",
        "Settings/IncludeWMA=1", "Settings/SaveLastSound=1", "Settings/SpinX=40", "Settings/SpinY=60",
        "Settings/SpinZ=20", "Settings/SpeedX=60", "Settings/SpeedY=20", "Settings/SpeedZ=0",
        "Settings/CubeSize=70", "Settings/KeepUpright=0", "Settings/KeepAspectRatio=0",
        "Settings/CubeFloat=1", "Settings/CubeTransp=1",
    };
    EXPECT_EQ(store.Writes(), expected);
    EXPECT_EQ(store.Raw("Paths", "Path4"), "/p4");
}

TEST(SaverSettings, KeepShuffleIsStoredOnlyOnceItWasSet)
{
    MemoryProfileStore store;
    CSaverSettings s;
    s.Load(store, kFirstRun);
    EXPECT_EQ(s.KeepShuffle, 0);
    s.Save(store);
    EXPECT_FALSE(store.Has("Settings", "KeepShuffle"));

    s.KeepShuffle = 1;
    s.Save(store);
    EXPECT_EQ(store.Raw("Settings", "KeepShuffle"), "1");
    CSaverSettings next;
    next.Load(store, kFirstRun);
    EXPECT_EQ(next.KeepShuffle, 1);
    // Switched off again, the 0 must reach the store.
    next.KeepShuffle = 0;
    next.Save(store);
    EXPECT_EQ(store.Raw("Settings", "KeepShuffle"), "0");
}

TEST(SaverSettings, InitSettingsCorrectsInMemoryAndLogsTheBlock)
{
    MemoryProfileStore store;
    store.Set("Settings", "Delay", "-5");
    store.Set("Settings", "ExitMMove", "0");
    store.Set("Settings", "ExitMClick", "0");
    store.Set("Settings", "ExitKClick", "0");
    store.Set("SndPaths", "Count", "1");
    store.Set("SndPaths", "Path0", "/m");
    CSaverSettings s;
    s.Load(store, kFirstRun);
    ScopedTestLog log;
    s.InitSettings();
    EXPECT_EQ(s.Delay, 1);
    EXPECT_EQ(s.ExitMMove + s.ExitMClick + s.ExitKClick, 3);
    EXPECT_EQ(store.Raw("Settings", "Delay"), "-5");
    const std::vector<std::string> expected = {
        "InitSettings:", "         Delay=1", "         Recursive=1", "         Random=1",
        "         SaveLastImage=1", "         LastImageIndex=-1", "         ImgPath Count=2",
        "         ExitMMove=1", "         ExitMClick=1", "         ExitKClick=1", "         bForceMCI=0",
        "         SndRecursive=1", "         SndRandom=1", "         SndPath Count=1", "         PlayMid=1",
        "         PlayWav=1", "         PlayMP3=1", "         PlayWMA=1", "         Sound Count=0",
    };
    EXPECT_EQ(log.Messages(), expected);
}
