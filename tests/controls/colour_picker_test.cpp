// The colour button and its pop-up on the display, driven like a user would.
#include "app/profile_store.h"
#include "controls/controls.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QHelpEvent>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "wait_for.h"

namespace {
struct Signal {
    std::string name;
    uint32_t colour;
    friend bool operator==(const Signal&, const Signal&) = default;
};

std::ostream& operator<<(std::ostream& os, const Signal& s)
{
    return os << s.name << "(" << std::hex << s.colour << ")";
}

// The Images page's picker: no default entry, "More Colors...", no section.
struct Picker {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    CColourPickerXP* picker = new CColourPickerXP(window.get());
    std::vector<Signal> seen;

    explicit Picker(uint32_t colour)
    {
        // Away from where the other window tests put their pages and the pointer.
        window->setGeometry(1200, 150, 200, 100);
        picker->setGeometry(20, 20, 60, 24);
        picker->SetDefaultText(QString());
        picker->SetCustomText(QStringLiteral("More Colors..."));
        picker->SetColor(colour);
        auto note = [this](const char* name) {
            return [this, name](uint32_t c) { seen.push_back({name, c}); };
        };
        QObject::connect(picker, &CColourPickerXP::SelChange, note("SelChange"));
        QObject::connect(picker, &CColourPickerXP::DropDown, note("DropDown"));
        QObject::connect(picker, &CColourPickerXP::CloseUp, note("CloseUp"));
        QObject::connect(picker, &CColourPickerXP::SelEndOK, note("SelEndOK"));
        QObject::connect(picker, &CColourPickerXP::SelEndCancel, note("SelEndCancel"));
        // The real pointer stays out of the pop-up's way.
        QCursor::setPos(QGuiApplication::primaryScreen()->geometry().bottomRight() - QPoint(5, 5));
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    CColourPopup* Open()
    {
        QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(10, 10));
        CColourPopup* popup = picker->Popup();
        if (popup) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(popup));
        }
        seen.clear();
        return popup;
    }

    bool Closed() const { return picker->Popup() == nullptr; }
};

// A pointer move delivered at once (QTest's moves warp the real pointer, whose
// events arrive later).
void Hover(QWidget* w, QPoint pos)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

uint32_t Cell(int i)
{
    return ColourTable()[static_cast<std::size_t>(i)].value;
}

// Answers the modal colour dialog once it is up.
void AnswerColourDialog(std::function<void(QColorDialog*)> answer)
{
    QTimer::singleShot(50, [answer] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            AnswerColourDialog(answer);
            return;
        }
        answer(dialog);
    });
}
} // namespace

TEST(ColourPicker, OpensBelowTheButtonOnTheInitialCellWithNamedCells)
{
    Picker p(0x808080);
    QTest::mouseClick(p.picker, Qt::LeftButton, {}, QPoint(10, 10));
    CColourPopup* popup = p.picker->Popup();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(p.seen, (std::vector<Signal>{{"DropDown", 0x808080}}));
    EXPECT_EQ(popup->Selection(), 23);
    EXPECT_EQ(popup->pos(), p.picker->mapToGlobal(QPoint(0, p.picker->height())));
    EXPECT_TRUE(popup->windowFlags().testFlag(Qt::Popup));
    // Eight columns of cells, the custom entry below them.
    EXPECT_EQ(popup->CentreOf(1).y(), popup->CentreOf(0).y());
    EXPECT_EQ(popup->CentreOf(8).x(), popup->CentreOf(0).x());
    EXPECT_GT(popup->CentreOf(kCustomEntry).y(), popup->CentreOf(39).y());

    // The cell's tool tip is its colour's name, trailing blank and all.
    QHelpEvent help(QEvent::ToolTip, popup->CentreOf(35), popup->mapToGlobal(popup->CentreOf(35)));
    QApplication::sendEvent(popup, &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Pale green "));
    QToolTip::hideText();

    // Its look: cell 13 shows blue.
    const QImage image = popup->grab().toImage();
    const int dpr = qRound(image.devicePixelRatio());
    EXPECT_EQ(QColor(image.pixel(popup->CentreOf(13) * dpr)), QColor(0, 0, 255));
    EXPECT_EQ(QColor(image.pixel(popup->CentreOf(16) * dpr)), QColor(255, 0, 0));
    QTest::keyClick(popup, Qt::Key_Escape);
    EXPECT_TRUE(WaitFor([&] { return p.Closed(); }));

    // The keyboard opens it too; the pop-up names its selection.
    p.picker->setFocus();
    QTest::keyClick(p.picker, Qt::Key_Down, Qt::AltModifier);
    ASSERT_NE(p.picker->Popup(), nullptr);
    QTest::keyClick(p.picker->Popup(), Qt::Key_Left);
    EXPECT_EQ(p.picker->Popup()->accessibleDescription(), QStringLiteral("Violet"));
    QTest::keyClick(p.picker->Popup(), Qt::Key_Escape);
    EXPECT_TRUE(WaitFor([&] { return p.Closed(); }));

    // Colours outside the table select "More Colors...".
    p.picker->SetColor(0x123456);
    popup = p.Open();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->Selection(), kCustomEntry);
    QTest::keyClick(popup, Qt::Key_Escape);
}

TEST(ColourPicker, PointerPreviewsEachCellAndEscapeRestores)
{
    Picker p(0x808080);
    CColourPopup* popup = p.Open();
    ASSERT_NE(popup, nullptr);
    for (int i : {0, 1, 2, 10})
        Hover(popup, popup->CentreOf(i));
    // Within one cell nothing changes.
    Hover(popup, popup->CentreOf(10) + QPoint(2, 2));
    EXPECT_EQ(p.seen, (std::vector<Signal>{
                             {"SelChange", Cell(0)}, {"SelChange", Cell(1)}, {"SelChange", Cell(2)},
                             {"SelChange", Cell(10)}}));
    EXPECT_EQ(p.picker->GetColor(), Cell(10)) << "the button tracks the selection";
    p.seen.clear();
    QTest::keyClick(popup, Qt::Key_Escape);
    EXPECT_TRUE(WaitFor([&] { return p.Closed(); }));
    EXPECT_EQ(p.seen, (std::vector<Signal>{{"CloseUp", 0x808080}, {"SelEndCancel", 0x808080}}));
    EXPECT_EQ(p.picker->GetColor(), 0x808080u);

    // Without tracking the button keeps its colour during the preview.
    p.picker->SetTrackSelection(false);
    popup = p.Open();
    Hover(popup, popup->CentreOf(5));
    EXPECT_EQ(p.picker->GetColor(), 0x808080u);
    EXPECT_EQ(p.seen, (std::vector<Signal>{{"SelChange", Cell(5)}}));
    QTest::keyClick(popup, Qt::Key_Escape);
}

TEST(ColourPicker, EnterAndReleaseEndWithOkAndOutsideEndsWithCancel)
{
    Picker p(0x808080);
    CColourPopup* popup = p.Open();
    QTest::keyClick(popup, Qt::Key_Right);   // 23 -> 24, "Pink"
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_TRUE(WaitFor([&] { return p.Closed(); }));
    EXPECT_EQ(p.seen, (std::vector<Signal>{{"SelChange", Cell(24)},
                                              {"CloseUp", Cell(24)},
                                              {"SelEndOK", Cell(24)},
                                              {"SelChange", Cell(24)}}));
    EXPECT_EQ(p.picker->GetColor(), Cell(24));

    // The same colour again: no selection change after the end.
    popup = p.Open();
    QTest::keyClick(popup, Qt::Key_Space);
    EXPECT_TRUE(WaitFor([&] { return p.Closed(); }));
    EXPECT_EQ(p.seen, (std::vector<Signal>{{"CloseUp", Cell(24)}, {"SelEndOK", Cell(24)}}));

    // A release on a cell picks it.
    popup = p.Open();
    QTest::mouseClick(popup, Qt::LeftButton, {}, popup->CentreOf(13));
    EXPECT_TRUE(WaitFor([&] { return p.Closed(); }));
    EXPECT_EQ(p.picker->GetColor(), 0xFF0000u);
    EXPECT_EQ(p.seen.back(), (Signal{"SelChange", 0xFF0000}));

    // A release outside cancels, even after previewing.
    popup = p.Open();
    Hover(popup, popup->CentreOf(0));
    QTest::mouseRelease(popup, Qt::LeftButton, {}, QPoint(-30, -30));
    EXPECT_TRUE(WaitFor([&] { return p.Closed(); }));
    EXPECT_EQ(p.picker->GetColor(), 0xFF0000u);
    EXPECT_EQ(p.seen.back(), (Signal{"SelEndCancel", 0xFF0000}));

    // Lost another way (closed from outside): a cancel too, reported once.
    popup = p.Open();
    QTest::keyClick(popup, Qt::Key_Down);
    popup->close();
    EXPECT_TRUE(WaitFor([&] { return p.Closed(); }));
    EXPECT_EQ(p.seen, (std::vector<Signal>{{"SelChange", Cell(21)},
                                              {"CloseUp", 0xFF0000},
                                              {"SelEndCancel", 0xFF0000}}));
    EXPECT_EQ(p.picker->GetColor(), 0xFF0000u);
}

TEST(ColourPicker, PressOnItsButtonClosesWithoutOpeningAgain)
{
    Picker p(0x808080);
    CColourPopup* popup = p.Open();
    ASSERT_NE(popup, nullptr);
    const QPoint onButton = popup->mapFromGlobal(p.picker->mapToGlobal(QPoint(10, 10)));
    QTest::mousePress(popup, Qt::LeftButton, {}, onButton);
    QTest::mouseRelease(p.picker, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::qWait(100);
    EXPECT_TRUE(p.Closed());
    EXPECT_EQ(p.seen, (std::vector<Signal>{{"CloseUp", 0x808080}, {"SelEndCancel", 0x808080}}));
}

TEST(ColourPicker, MoreColorsCancelChangesNothingAndCustomColoursStartWhite)
{
    Picker p(0x123456);
    for (int i = 0; i < 16; ++i)
        QColorDialog::setCustomColor(i, QColor(10, 20, 30));
    CColourPopup* popup = p.Open();
    ASSERT_EQ(popup->Selection(), kCustomEntry);
    QColor shown;
    int white = 0;
    AnswerColourDialog([&](QColorDialog* dialog) {
        shown = dialog->currentColor();
        for (int i = 0; i < 16; ++i)
            white += QColorDialog::customColor(i) == QColor(Qt::white);
        dialog->reject();
    });
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_TRUE(WaitFor([&] { return p.Closed(); }));
    EXPECT_EQ(shown, QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(white, 16);
    EXPECT_EQ(p.picker->GetColor(), 0x123456u);
    EXPECT_EQ(p.seen, (std::vector<Signal>{{"CloseUp", 0x123456}, {"SelEndCancel", 0x123456}}));
}

TEST(ColourPicker, MoreColorsWithASectionReadsAndKeepsTheCustomColours)
{
    Picker p(0x808080);
    MemoryProfileStore store;
    store.WriteProfileInt("Colours", "CUSTOM_COLOR_3", 0x0000FF);
    p.picker->SetProfileStore(&store);
    p.picker->SetRegSection(QStringLiteral("Colours"));
    CColourPopup* popup = p.Open();
    QTest::keyClick(popup, Qt::Key_Down);   // 23 -> 31
    QTest::keyClick(popup, Qt::Key_Down);   // 31 -> 39
    QTest::keyClick(popup, Qt::Key_Down);   // -> "More Colors..."
    ASSERT_EQ(popup->Selection(), kCustomEntry);
    QColor third;
    AnswerColourDialog([&](QColorDialog* dialog) {
        third = QColorDialog::customColor(3);
        QColorDialog::setCustomColor(5, QColor(0, 255, 0));
        dialog->setCurrentColor(QColor(0x11, 0x22, 0x33));
        dialog->accept();
    });
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_TRUE(WaitFor([&] { return p.Closed(); }));
    EXPECT_EQ(third, QColor(255, 0, 0));
    EXPECT_EQ(p.picker->GetColor(), 0x332211u);
    EXPECT_EQ(p.seen.back(), (Signal{"SelChange", 0x332211}));
    EXPECT_EQ(store.GetProfileInt("Colours", "CUSTOM_COLOR_5", -1), 0x00FF00);
    EXPECT_EQ(store.GetProfileInt("Colours", "CUSTOM_COLOR_0", -1), 0xFFFFFF);
    EXPECT_EQ(store.GetProfileInt("Colours", "CUSTOM_COLOR_3", -1), 0x0000FF);
}

TEST(ColourPicker, ButtonShowsItsColourAndNamesItForScreenReaders)
{
    Picker p(0x00D7FF);   // "Gold"
    SetControlToolTip(p.picker, QStringLiteral("Background & frame colour. The colour around the cube."));
    const QImage image = p.picker->grab().toImage();
    const int dpr = qRound(image.devicePixelRatio());
    EXPECT_EQ(QColor(image.pixel(QPoint(14, 12) * dpr)), QColor(255, 215, 0));
    EXPECT_EQ(p.picker->accessibleName(), QStringLiteral("Background & frame colour"));
    EXPECT_EQ(p.picker->accessibleDescription(), QStringLiteral("Gold (#ffd700)"));
    p.picker->SetColor(0x123456);
    EXPECT_EQ(p.picker->accessibleDescription(), QStringLiteral("#563412"));

    // The automatic colour is drawn in the window colour.
    p.picker->SetColor(kAutomaticColour);
    const QImage automatic = p.picker->grab().toImage();
    EXPECT_EQ(QColor(automatic.pixel(QPoint(14, 12) * dpr)), p.picker->palette().color(QPalette::Window));
}
