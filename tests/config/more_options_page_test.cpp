// The More Options page with real widgets on a virtual display.
#include "config/more_options_page.h"
#include "page_fixture.h"

#include <QComboBox>
#include <QFontMetrics>

namespace {
enum Id { kNeverRepeat = 1181, kCaption = 1183, kKeys = 1184, kKeysNote = 1185 };

class MoreOptionsPage : public PageFixture<CMoreOptionsPage> {
protected:
    QComboBox* Caption() const { return page->ControlAs<QComboBox>(kCaption); }
    QLabel* Note() const { return page->ControlAs<QLabel>(kKeysNote); }
};
} // namespace

TEST_F(MoreOptionsPage, ShowsTheRecordAndStoresWhatIsShown)
{
    settings.KeepShuffle = 1;
    settings.Caption = 2;
    CMoreOptionsPage& p = Open();
    EXPECT_EQ(p.Caption(), "More Options");
    EXPECT_EQ(Box(kNeverRepeat)->text(), "Never repeat a photo until all have been shown");
    EXPECT_TRUE(Box(kNeverRepeat)->isChecked());
    ASSERT_EQ(Caption()->count(), 4);
    const char* items[] = {"None", "Date taken", "Date taken and folder", "Folder"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Caption()->itemText(i), items[i]);
    EXPECT_EQ(Caption()->currentIndex(), 2);

    SettleToolTips();
    EXPECT_TRUE(Box(kNeverRepeat)->toolTip().contains("Choose Images in random order"));
    EXPECT_TRUE(Caption()->toolTip().contains("the date it was taken"));

    // The keyboard picks the caption, as a user without a mouse would.
    Click(kNeverRepeat);
    Caption()->setFocus();
    QTest::keyClick(Caption(), Qt::Key_Down);
    ASSERT_TRUE(p.SaveExchange());
    EXPECT_EQ(settings.KeepShuffle, 0);
    EXPECT_EQ(settings.Caption, 3);

    // F1 on the page alone: the hint at the pointer.
    p.RequestHelp();
    ASSERT_TRUE(p.LastBalloon());
    EXPECT_EQ(p.LastBalloon()->titleId, 57344);
    EXPECT_EQ(p.LastBalloon()->controlId, -1);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<CBalloonMessage*>(w))
            w->close();
}

TEST_F(MoreOptionsPage, EveryTextIsShownWhole)
{
    Open();
    // The single-line texts fit their boxes; a clipped one would hide words.
    for (QLabel* label : page->findChildren<QLabel*>()) {
        if (label->wordWrap())
            continue;
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
            << label->text().toStdString();
    }
    EXPECT_LE(Box(kNeverRepeat)->sizeHint().width(), Box(kNeverRepeat)->width());
    EXPECT_LE(Caption()->sizeHint().width(), Caption()->width());
    // The note wraps within its box.
    ASSERT_TRUE(Note()->wordWrap());
    EXPECT_LE(Note()->heightForWidth(Note()->width()), Note()->height());
    EXPECT_LE(Note()->geometry().bottom(), page->Control(kKeys)->geometry().bottom());
}
