// The More Options page with real widgets on a virtual display.
#include "config/more_options_page.h"
#include "page_fixture.h"

#include <QAccessible>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>

namespace {
enum Id { kPhotos = 1180, kNeverRepeat = 1181, kCaption = 1183, kKeys = 1184, kKeysNote = 1185 };

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

    // A screen reader names the drop-down by the label before it.
    QAccessibleInterface* combo = QAccessible::queryAccessibleInterface(Caption());
    ASSERT_NE(combo, nullptr);
    auto labels = combo->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->text(QAccessible::Name), "Caption:");

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

TEST_F(MoreOptionsPage, InSequentialOrderTheBoxRestsButKeepsItsMark)
{
    settings.Random = 0;
    settings.KeepShuffle = 1;
    Open();
    EXPECT_FALSE(Box(kNeverRepeat)->isEnabled());
    EXPECT_TRUE(Box(kNeverRepeat)->isChecked());
    ASSERT_TRUE(page->SaveExchange());
    EXPECT_EQ(settings.KeepShuffle, 1);

    // Random order chosen elsewhere while the page was away.
    page->hide();
    settings.Random = 1;
    page->show();
    EXPECT_TRUE(Box(kNeverRepeat)->isEnabled());
    EXPECT_TRUE(Box(kNeverRepeat)->isChecked());
}

TEST_F(MoreOptionsPage, EveryTextIsShownWholeAtTheFirstSizeAndWhenWider)
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

    // Wider: the groups and the note follow the width, the rest stays.
    const QRect note0 = Note()->geometry(), keys0 = page->Control(kKeys)->geometry(),
                photos0 = page->Control(kPhotos)->geometry(), box0 = Box(kNeverRepeat)->geometry(),
                caption0 = Caption()->geometry();
    page->resize(page->width() + 200, page->height() + 100);
    EXPECT_EQ(Note()->geometry(), note0.adjusted(0, 0, 200, 0));
    EXPECT_EQ(page->Control(kKeys)->geometry(), keys0.adjusted(0, 0, 200, 0));
    EXPECT_EQ(page->Control(kPhotos)->geometry(), photos0.adjusted(0, 0, 200, 0));
    EXPECT_EQ(Box(kNeverRepeat)->geometry(), box0);
    EXPECT_EQ(Caption()->geometry(), caption0);
}
