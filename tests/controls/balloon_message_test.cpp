// Balloons for real on the display: what closes them and what does not,
// where they point, and their shape and colours.
#include "controls/controls.h"
#include "res/string_table.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "url_catcher.h"
#include "wait_for.h"

namespace {
QList<CBalloonMessage*> Balloons()
{
    QList<CBalloonMessage*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* b = qobject_cast<CBalloonMessage*>(w); b && b->isVisible() && !b->IsClosing())
            out << b;
    return out;
}

QList<CBalloonMessage*> AllBalloons()
{
    QList<CBalloonMessage*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* b = qobject_cast<CBalloonMessage*>(w))
            out << b;
    return out;
}

// A page with one button, shown at a place on the screen.
struct Page {
    std::unique_ptr<QWidget> page = std::make_unique<QWidget>();
    QPushButton* button = new QPushButton(QStringLiteral("&Browse"), page.get());

    explicit Page(QPoint at = QPoint(200, 200), QRect buttonRect = QRect(40, 30, 80, 25))
    {
        page->setGeometry(QRect(at, QSize(400, 300)));
        button->setGeometry(buttonRect);
        page->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(page.get()));
    }
    ~Page()
    {
        page.reset();
        QTest::qWait(10);
    }
};

class BalloonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QApplication::setEffectEnabled(Qt::UI_General, true);
        QApplication::setEffectEnabled(Qt::UI_AnimateTooltip, true);
        QApplication::setEffectEnabled(Qt::UI_FadeTooltip, true);
        QCursor::setPos(10, 10);
    }
    void TearDown() override
    {
        for (CBalloonMessage* b : AllBalloons())
            delete b;
    }
};
} // namespace

TEST_F(BalloonTest, PageBalloonClosesOnLeftPressRightPressAndKeysButNotOnMoves)
{
    Page p;
    ShowBalloonMessage(IDS_WARNING, IDS_MUST_BE_POSITIVE, p.page.get(), p.button, BalloonIcon::Warning);
    ASSERT_EQ(Balloons().size(), 1);
    CBalloonMessage* b = Balloons().front();
    EXPECT_EQ(b->Options(), kBalloonPageOptions | kBalloonDeleteWithWindow);
    EXPECT_LT(b->windowOpacity(), 1.0) << "fades in";
    // It points at the button's centre.
    EXPECT_EQ(b->TipOnScreen(), p.button->mapToGlobal(QPoint(40, 12)));
    EXPECT_FALSE(b->isActiveWindow());

    QTest::mouseMove(p.page.get(), QPoint(300, 250));
    QTest::mouseMove(p.page.get(), QPoint(10, 10));
    QTest::qWait(50);
    EXPECT_EQ(Balloons().size(), 1) << "a pointer move must not close it";

    QTest::mousePress(p.page.get(), Qt::LeftButton, {}, QPoint(300, 250));
    EXPECT_TRUE(WaitFor([&] { return AllBalloons().size() == 0; }));
    QTest::mouseRelease(p.page.get(), Qt::LeftButton, {}, QPoint(300, 250));

    ShowBalloonMessage(IDS_WARNING, IDS_MUST_BE_POSITIVE, p.page.get(), p.button, BalloonIcon::Warning);
    ASSERT_EQ(Balloons().size(), 1);
    // A middle click is not among the page options.
    QTest::mouseClick(p.page.get(), Qt::MiddleButton, {}, QPoint(300, 250));
    QTest::qWait(50);
    EXPECT_EQ(Balloons().size(), 1);
    QTest::mousePress(p.button, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_TRUE(WaitFor([&] { return AllBalloons().size() == 0; }));
    QTest::mouseRelease(p.button, Qt::RightButton, {}, QPoint(5, 5));

    // The click that closes it still reaches its target.
    ShowBalloonMessage(IDS_WARNING, IDS_MUST_BE_POSITIVE, p.page.get(), p.button, BalloonIcon::Warning);
    QSignalSpy clicked(p.button, &QPushButton::clicked);
    QTest::mouseClick(p.button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_TRUE(WaitFor([&] { return AllBalloons().size() == 0; }));

    ShowBalloonMessage(IDS_WARNING, QStringLiteral("formatted"), p.page.get(), nullptr, BalloonIcon::Error);
    ASSERT_EQ(Balloons().size(), 1);
    QTest::keyClick(p.page.get(), Qt::Key_Tab);
    EXPECT_TRUE(WaitFor([&] { return AllBalloons().size() == 0; }));

    // A key that a shortcut takes closes it as well, and the shortcut still works.
    QShortcut shortcut(QKeySequence(Qt::Key_F1), p.page.get());
    QSignalSpy activated(&shortcut, &QShortcut::activated);
    ShowBalloonMessage(IDS_WARNING, IDS_MUST_BE_POSITIVE, p.page.get(), p.button, BalloonIcon::Warning);
    p.page->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(p.page.get()));
    p.button->setFocus();
    QTest::keyClick(p.button, Qt::Key_F1);
    EXPECT_TRUE(WaitFor([&] { return AllBalloons().size() == 0; }));
    EXPECT_EQ(activated.count(), 1);
}

TEST_F(BalloonTest, CloseButtonTimerAndDelayedClose)
{
    Page p;
    // Only the close button closes it; a press that leaves the button does not.
    LaunchBalloon(QStringLiteral("Title"), QStringLiteral("Text"), QPoint(50, 50), BalloonIcon::Information,
                  kBalloonShowCloseButton, p.page.get(), QString(), 0);
    ASSERT_EQ(Balloons().size(), 1);
    CBalloonMessage* b = Balloons().front();
    const QRect button = b->CloseButtonRect();
    ASSERT_FALSE(button.isEmpty());
    EXPECT_TRUE(b->mask().contains(button.center()));
    QTest::mouseClick(p.page.get(), Qt::LeftButton, {}, QPoint(300, 250));
    QTest::keyClick(p.page.get(), Qt::Key_A);
    QTest::mousePress(b, Qt::LeftButton, {}, button.center());
    QTest::mouseMove(b, QPoint(5, b->height() / 2));
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, b->height() / 2));
    QTest::qWait(300);
    ASSERT_EQ(Balloons().size(), 1);
    // Nor does a press on the body released over the button.
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, b->height() / 2));
    QTest::mouseMove(b, button.center());
    QTest::mouseRelease(b, Qt::LeftButton, {}, button.center());
    QTest::qWait(300);
    ASSERT_EQ(Balloons().size(), 1);
    QTest::mouseClick(b, Qt::LeftButton, {}, button.center());
    EXPECT_TRUE(WaitFor([&] { return AllBalloons().size() == 0; }));

    // With a link, a click on the body opens it and closes.
    UrlCatcher catcher(QStringLiteral("tsvtest"));
    LaunchBalloon(QStringLiteral("Link"), QStringLiteral("Click here"), QPoint(50, 50), BalloonIcon::None,
                  kBalloonShowCloseButton, p.page.get(), QStringLiteral("tsvtest://balloon"), 0);
    ASSERT_EQ(Balloons().size(), 1);
    b = Balloons().front();
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(b->width() / 2, b->height() / 2));
    EXPECT_TRUE(WaitFor([&] { return AllBalloons().size() == 0; }));
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls.front(), QUrl(QStringLiteral("tsvtest://balloon")));

    // The display time closes it; 0 keeps it.
    LaunchBalloon(QStringLiteral("Timed"), QStringLiteral("Text"), QPoint(50, 50), BalloonIcon::None, 0,
                  p.page.get(), QString(), 300);
    LaunchBalloon(QStringLiteral("Stays"), QStringLiteral("Text"), QPoint(80, 50), BalloonIcon::None, 0,
                  p.page.get(), QString(), 0);
    ASSERT_EQ(Balloons().size(), 2);
    EXPECT_TRUE(WaitFor([&] { return AllBalloons().size() == 1; }, 5000));
    EXPECT_EQ(AllBalloons().front()->windowTitle(), QString());
    TearDown();

    // Delayed close: the first press only starts the timer and ends the
    // pointer bits; a key still closes at once.
    LaunchBalloon(QStringLiteral("Later"), QStringLiteral("Text"), QPoint(50, 50), BalloonIcon::None,
                  kBalloonDelayClose | kBalloonCloseOnLButtonDown | kBalloonCloseOnKeyDown, p.page.get(), QString(),
                  400);
    ASSERT_EQ(Balloons().size(), 1);
    b = Balloons().front();
    QTest::qWait(600);
    ASSERT_EQ(Balloons().size(), 1) << "no timer before the first request";
    QTest::mouseClick(p.page.get(), Qt::LeftButton, {}, QPoint(300, 250));
    QTest::qWait(50);
    ASSERT_EQ(Balloons().size(), 1);
    EXPECT_EQ(b->Options() & (kBalloonDelayClose | kBalloonPointerCloseBits), 0u);
    EXPECT_TRUE(WaitFor([&] { return AllBalloons().size() == 0; }, 5000));
}

TEST_F(BalloonTest, PointerMoveBeyondTheHoverToleranceClosesWhenAsked)
{
    Page p;
    LaunchBalloon(QStringLiteral("Move"), QStringLiteral("Text"), QPoint(50, 50), BalloonIcon::None,
                  kBalloonCloseOnMouseMove, p.page.get(), QString(), 0);
    ASSERT_EQ(Balloons().size(), 1);
    // Moves delivered at once, relative to where the pointer was at the launch
    // (the real pointer is shared with whatever else runs on the display).
    const QPoint launch = Balloons().front()->LaunchPoint();
    auto moveTo = [&](QPoint global) {
        const QPoint local = p.page->mapFromGlobal(global);
        QMouseEvent move(QEvent::MouseMove, QPointF(local), QPointF(global), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(p.page.get(), &move);
    };
    moveTo(launch + QPoint(3, -3));
    QTest::qWait(50);
    EXPECT_EQ(Balloons().size(), 1) << "within the hover tolerance";
    moveTo(launch + QPoint(0, 4));
    EXPECT_TRUE(WaitFor([&] { return AllBalloons().size() == 0; }));
}

TEST_F(BalloonTest, TwoBalloonsAtOnceEachWithItsOwnFilter)
{
    Page p;
    ShowBalloonMessage(IDS_WARNING, IDS_MUST_BE_POSITIVE, p.page.get(), p.button, BalloonIcon::Warning);
    LaunchBalloon(QStringLiteral("Second"), QStringLiteral("Closes with its button only"), QPoint(300, 200),
                  BalloonIcon::None, kBalloonShowCloseButton, p.page.get(), QString(), 0);
    ASSERT_EQ(Balloons().size(), 2);
    QTest::keyClick(p.page.get(), Qt::Key_Escape);
    EXPECT_TRUE(WaitFor([&] { return AllBalloons().size() == 1; }));
    EXPECT_EQ(AllBalloons().front()->accessibleName(), QStringLiteral("Second"));
    // Its window going away takes the balloon along.
    QPointer<CBalloonMessage> second = AllBalloons().front();
    p.page.reset();
    EXPECT_TRUE(second.isNull());
}

TEST_F(BalloonTest, AtTheLowerRightTheTailIsAtTheBottomRightAndAllIsInside)
{
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    Page p(work.bottomRight() - QPoint(399, 299), QRect(300, 260, 90, 30));
    ShowBalloonMessage(IDS_WARNING, IDS_MUST_BE_POSITIVE, p.page.get(), p.button, BalloonIcon::Error);
    ASSERT_EQ(Balloons().size(), 1);
    CBalloonMessage* b = Balloons().front();
    EXPECT_EQ(b->Quadrant(), 2);
    EXPECT_TRUE(work.contains(b->geometry())) << b->geometry().x() << "," << b->geometry().y();
    const QPoint anchor = p.button->mapToGlobal(QPoint(45, 15));
    EXPECT_EQ(b->TipOnScreen(), anchor);

    // The shape: rounded corners, the tail joined to the body.
    const QRegion shape = b->mask();
    const QPoint tip = b->TipOnScreen() - b->pos();
    const auto tail = b->Tail();
    EXPECT_EQ(tail[1], tip);
    const QPointF baseMiddle = QPointF(tail[0] + tail[2]) / 2.0;
    for (int i = 3; i <= 20; ++i) {
        // Along the tail's middle line, from near the tip to the base.
        const QPoint at = (QPointF(tip) + (baseMiddle - QPointF(tip)) * (i / 20.0)).toPoint();
        EXPECT_TRUE(shape.contains(at) || shape.contains(at - QPoint(1, 0)) || shape.contains(at + QPoint(1, 0)))
            << "gap at " << at.x() << "," << at.y();
    }
    const int towardsBody = tip.y() > baseMiddle.y() ? -3 : 3;
    EXPECT_TRUE(shape.contains(baseMiddle.toPoint() + QPoint(0, towardsBody))) << "the tail joins the body";
    EXPECT_FALSE(shape.contains(QPoint(0, 0)));
    EXPECT_FALSE(shape.contains(QPoint(b->width() - 1, 0)));
    EXPECT_TRUE(shape.contains(QPoint(12, 12)));

    // Colours: the outline in the tool-tip text colour, inside the background.
    const QImage image = b->grab().toImage();
    const QPalette pal = QApplication::palette();
    const int dpr = qRound(image.devicePixelRatio());
    const QPoint middleTop(b->width() / 2, 0);
    EXPECT_EQ(QColor(image.pixel(middleTop * dpr)), pal.color(QPalette::ToolTipText));
    EXPECT_EQ(QColor(image.pixel(QPoint(b->width() / 2, 3) * dpr)), pal.color(QPalette::ToolTipBase));

    // The balloon follows its window.
    QPointer<CBalloonMessage> guard = b;
    p.page->move(p.page->pos() - QPoint(300, 200));
    const QPoint moved = anchor - QPoint(300, 200);
    EXPECT_TRUE(WaitFor([&] { return !guard || guard->TipOnScreen() == moved; }));
    ASSERT_FALSE(guard.isNull());
}

TEST_F(BalloonTest, WithoutSystemFadesItShowsAndClosesAtOnce)
{
    QApplication::setEffectEnabled(Qt::UI_FadeTooltip, false);
    LaunchBalloon(QStringLiteral("Screen"), QStringLiteral("At a point of the screen"), QPoint(500, 400),
                  BalloonIcon::Information, kBalloonPageOptions, nullptr, QString(), 15000);
    ASSERT_EQ(Balloons().size(), 1);
    QPointer<CBalloonMessage> b = Balloons().front();
    EXPECT_EQ(b->Options() & (kBalloonNoFadeIn | kBalloonNoFadeOut), kBalloonNoFadeIn | kBalloonNoFadeOut);
    EXPECT_DOUBLE_EQ(b->windowOpacity(), 1.0);
    EXPECT_EQ(b->TipOnScreen(), QPoint(500, 400));
    b->RequestClose();
    EXPECT_FALSE(b->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(b.isNull());
}

TEST_F(BalloonTest, EveryPointerBitClosesOnItsOwnEventOnly)
{
    Page p;
    struct Case {
        unsigned bit;
        Qt::MouseButton button;
        bool press;
    };
    const Case cases[] = {
        {kBalloonCloseOnLButtonUp, Qt::LeftButton, false},   {kBalloonCloseOnMButtonUp, Qt::MiddleButton, false},
        {kBalloonCloseOnRButtonUp, Qt::RightButton, false},  {kBalloonCloseOnLButtonDown, Qt::LeftButton, true},
        {kBalloonCloseOnMButtonDown, Qt::MiddleButton, true}, {kBalloonCloseOnRButtonDown, Qt::RightButton, true},
    };
    const QPoint where(300, 250);
    for (const Case& c : cases) {
        LaunchBalloon(QStringLiteral("Bit"), QStringLiteral("Text"), QPoint(50, 50), BalloonIcon::None, c.bit,
                      p.page.get(), QString(), 0);
        ASSERT_EQ(Balloons().size(), 1);
        // Another button, and a key, leave it open.
        const Qt::MouseButton other = c.button == Qt::LeftButton ? Qt::RightButton : Qt::LeftButton;
        QTest::mouseClick(p.page.get(), other, {}, where);
        QTest::keyClick(p.page.get(), Qt::Key_B);
        QTest::qWait(30);
        ASSERT_EQ(Balloons().size(), 1) << std::hex << c.bit;
        // Its own button: on the press, or only on the release.
        QTest::mousePress(p.page.get(), c.button, {}, where);
        QTest::qWait(30);
        EXPECT_EQ(Balloons().size(), c.press ? 0 : 1) << std::hex << c.bit;
        QTest::mouseRelease(p.page.get(), c.button, {}, where);
        EXPECT_TRUE(WaitFor([&] { return AllBalloons().size() == 0; })) << std::hex << c.bit;
    }
}

TEST_F(BalloonTest, LookAndWindowOptions)
{
    Page p;
    LaunchBalloon(QStringLiteral("Look"), QStringLiteral("Text"), QPoint(50, 50), BalloonIcon::None,
                  kBalloonDoubleOutline | kBalloonTopMost | kBalloonNoFadeIn | kBalloonNoFadeOut, p.page.get(),
                  QString(), 0);
    ASSERT_EQ(Balloons().size(), 1);
    QPointer<CBalloonMessage> b = Balloons().front();
    EXPECT_TRUE(b->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(b->windowFlags().testFlag(Qt::ToolTip));
    EXPECT_TRUE(b->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_DOUBLE_EQ(b->windowOpacity(), 1.0) << "no fade-in";
    EXPECT_TRUE(b->CloseButtonRect().isNull()) << "no close button unless asked";

    // The double outline: inside the 1-pixel outline a shade between the two colours.
    const QImage image = b->grab().toImage();
    const int dpr = qRound(image.devicePixelRatio());
    const QPalette pal = QApplication::palette();
    const int bodyTop = b->Quadrant() < 2 ? kBalloonTailHeight : 0;
    const QColor inner(image.pixel(QPoint(b->width() / 2 + 20, bodyTop + 1) * dpr));
    EXPECT_NE(inner, pal.color(QPalette::ToolTipBase));
    EXPECT_NE(inner, pal.color(QPalette::ToolTipText));

    // No fade-out: hidden as soon as the close is asked for.
    b->RequestClose();
    EXPECT_FALSE(b->isVisible());
    EXPECT_TRUE(WaitFor([&] { return b.isNull(); }));

    // A balloon not made by LaunchBalloon and without 0x0200 stays the caller's.
    auto own = std::make_unique<CBalloonMessage>(QStringLiteral("Own"), QStringLiteral("Text"), QPoint(400, 300),
                                                 BalloonIcon::None, kBalloonNoFadeOut, nullptr, QString(), 0);
    own->Launch();
    own->RequestClose();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(own->isVisible());
}

TEST_F(BalloonTest, ClosesWhenItsWindowHides)
{
    Page p;
    LaunchBalloon(QStringLiteral("Hide"), QStringLiteral("Text"), QPoint(50, 50), BalloonIcon::None,
                  kBalloonDelayClose | kBalloonShowCloseButton, p.page.get(), QString(), 0);
    ASSERT_EQ(Balloons().size(), 1);
    p.page->hide();
    EXPECT_TRUE(WaitFor([&] { return AllBalloons().size() == 0; }));
}
