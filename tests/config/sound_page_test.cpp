// The "Sounds" page: its own rules for random play and restart, its counting.
#include "folder_page_support.h"

namespace {
class SoundPageTest : public PageTest<CConfigSoundDlg> {
protected:
    CConfigSoundDlg& OpenSounds() { return Open(kSoundsPageId); }
};
} // namespace

TEST_F(SoundPageTest, RandomPlayAndRestartExcludeEachOther)
{
    settings.SndRandom = 1;
    settings.SaveLastSound = 1;
    OpenSounds();
    QCheckBox* random = Box(SoundIds::kRandom);
    QCheckBox* restart = Box(SoundIds::kRestart);
    QPushButton* reset = Button(SoundIds::kReset);
    // Opened with both on: restart shows off and disabled, and is stored off.
    EXPECT_TRUE(random->isChecked());
    EXPECT_FALSE(restart->isChecked());
    EXPECT_FALSE(restart->isEnabled());
    EXPECT_FALSE(reset->isEnabled());
    ASSERT_TRUE(page->SaveExchange());
    EXPECT_EQ(settings.SaveLastSound, 0);
    EXPECT_EQ(settings.SndRandom, 1);

    // Unchecking random frees restart, still unchecked; checking restart enables Reset.
    Click(random);
    EXPECT_TRUE(restart->isEnabled());
    EXPECT_FALSE(restart->isChecked());
    EXPECT_FALSE(reset->isEnabled());
    Click(restart);
    EXPECT_TRUE(reset->isEnabled());
    // Checking random again clears restart.
    Click(random);
    EXPECT_FALSE(restart->isChecked());
    EXPECT_FALSE(reset->isEnabled());
    Click(random);
    Click(restart);
    ASSERT_TRUE(page->SaveExchange());
    EXPECT_EQ(settings.SndRandom, 0);
    EXPECT_EQ(settings.SaveLastSound, 1);

    Click(reset);
    EXPECT_EQ(store->GetProfileInt("Settings", "LastSoundIndex", 0), -1);
    EXPECT_EQ(page->LastBalloon()->titleId, 337);
    EXPECT_EQ(page->LastBalloon()->text,
              "Current sound file index has been reset, the show will start from the first file.");
}

TEST_F(SoundPageTest, FoldersKeepTheirMarkAndCountingHonoursTheFileTypes)
{
    const std::string music = Folder("Music"), old = Folder("Old");
    Touch(music, "a.mp3");
    Touch(music, "b.wav");
    Touch(music, "c.mid");
    Touch(music, "d.txt");
    Touch(old, "e.mp3");
    settings.SoundFolders = {":" + old, music};
    settings.IncludeMP3 = 0;
    OpenSounds();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"-" + old, music}));
    EXPECT_EQ(List().headerItem()->text(0), "Sound Files Folders:");

    Click(Button(CConfigSoundDlg::kCountFiles));
    EXPECT_EQ(Label(SoundIds::kCounter)->text(), "2");
    EXPECT_EQ(settings.SoundFolders, (StringList{":" + old, music}));

    // The browser remembers under "Sound".
    chooser.answers = {music};
    Click(Button(CConfigSoundDlg::kAddDirectory));
    EXPECT_EQ(store->GetProfileString("LastPaths", "Sound", ""), music + "/");
    EXPECT_EQ(store->GetProfileString("LastPaths", "Img", "none"), "none");

    // A gone folder, even disabled, blocks with the warning at the list.
    fs::remove_all(old);
    EXPECT_FALSE(page->SaveExchange());
    EXPECT_EQ(page->LastBalloon()->controlId, SoundIds::kFolders);
    EXPECT_EQ(page->LastBalloon()->titleId, 336);
}

TEST_F(SoundPageTest, ToolTipsLeaveTheFolderButtonsBare)
{
    OpenSounds();
    QTRY_VERIFY_WITH_TIMEOUT(page->ToolTipsReady(), 2000);
    EXPECT_TRUE(page->Control(1026)->toolTip().contains("plays sound files randomly"));
    EXPECT_TRUE(page->Control(1023)->toolTip().contains("Counts sound files"));
    for (int id : {1123, 1124, 1125, 1126, 1127, 3})
        EXPECT_TRUE(page->Control(id)->toolTip().isEmpty()) << id;
}
