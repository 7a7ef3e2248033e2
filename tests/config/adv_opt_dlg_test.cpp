// The Advanced Options page with real widgets on a virtual display.
#include "config/adv_opt_dlg.h"
#include "page_fixture.h"
#include "res/string_table.h"

#include <QGroupBox>
#include <QSlider>

namespace {
using AdvOptPage = PageFixture<CAdvOptDlg>;
QSlider* SliderOf(const CAdvOptDlg& page, int id)
{
    return page.ControlAs<QSlider>(id);
}
} // namespace

TEST_F(AdvOptPage, OpensWithTheRecordOnItsControlsAndTheSlidersInRange)
{
    settings.ExitMMove = 0;
    settings.ExitMClick = 1;
    settings.ExitKClick = 0;
    settings.SpinX = -40;
    settings.SpinY = 150;   // hand-edited beyond the slider
    settings.SpinZ = -21;
    settings.SpeedX = 31;
    settings.SpeedY = 42;
    settings.SpeedZ = 12;
    settings.CubeSize = 70;
    settings.KeepUpright = 1;
    settings.KeepAspectRatio = 1;
    settings.CubeFloat = 0;
    settings.CubeTransp = 1;
    CAdvOptDlg& p = Open();
    EXPECT_EQ(p.Caption(), "Advanced Options");
    EXPECT_FALSE(Box(1071)->isChecked());
    EXPECT_TRUE(Box(1072)->isChecked());
    EXPECT_FALSE(Box(1073)->isChecked());
    EXPECT_TRUE(Box(1007)->isChecked());
    EXPECT_EQ(SliderOf(p, 1000)->minimum(), -99);
    EXPECT_EQ(SliderOf(p, 1000)->maximum(), 99);
    EXPECT_EQ(SliderOf(p, 1000)->value(), -40);
    EXPECT_EQ(SliderOf(p, 1001)->value(), 99);
    EXPECT_EQ(SliderOf(p, 1006)->minimum(), 0);
    EXPECT_EQ(SliderOf(p, 1006)->value(), 12);
    EXPECT_EQ(SliderOf(p, 1004)->maximum(), 99);
    EXPECT_EQ(SliderOf(p, 1004)->value(), 70);
    // Each control shows its own field.
    EXPECT_EQ(SliderOf(p, 1166)->value(), -21);
    EXPECT_EQ(SliderOf(p, 1002)->value(), 31);
    EXPECT_EQ(SliderOf(p, 1003)->value(), 42);
    EXPECT_TRUE(Box(1173)->isChecked());
    EXPECT_FALSE(Box(1175)->isChecked());
    EXPECT_TRUE(Box(1177)->isChecked());

    // Leaving unchanged stores what was shown; the slider kept only its range.
    ASSERT_TRUE(p.SaveExchange());
    EXPECT_EQ(settings.SpinX, -40);
    EXPECT_EQ(settings.SpinY, 99);
    EXPECT_EQ(settings.SpinZ, -21);
    EXPECT_EQ(settings.SpeedX, 31);
    EXPECT_EQ(settings.SpeedY, 42);
    EXPECT_EQ(settings.SpeedZ, 12);
    EXPECT_EQ(settings.CubeSize, 70);
    EXPECT_EQ(settings.ExitMClick, 1);
    EXPECT_EQ(settings.KeepUpright, 1);
    EXPECT_EQ(settings.KeepAspectRatio, 1);
    EXPECT_EQ(settings.CubeFloat, 0);
    EXPECT_EQ(settings.CubeTransp, 1);
}

TEST_F(AdvOptPage, SlowRatesAreStoredAsZeroTheSizeIsNot)
{
    CAdvOptDlg& p = Open();
    SliderOf(p, 1000)->setValue(5);
    SliderOf(p, 1001)->setValue(-6);
    SliderOf(p, 1166)->setValue(7);
    SliderOf(p, 1002)->setValue(6);
    SliderOf(p, 1003)->setValue(7);
    SliderOf(p, 1006)->setValue(0);
    SliderOf(p, 1004)->setValue(3);
    ASSERT_TRUE(p.SaveExchange());
    EXPECT_EQ(settings.SpinX, 0);
    EXPECT_EQ(settings.SpinY, 0);
    EXPECT_EQ(settings.SpinZ, 7);
    EXPECT_EQ(settings.SpeedX, 0);
    EXPECT_EQ(settings.SpeedY, 7);
    EXPECT_EQ(settings.SpeedZ, 0);
    EXPECT_EQ(settings.CubeSize, 3);

    SliderOf(p, 1166)->setValue(-7);
    ASSERT_TRUE(p.SaveExchange());
    EXPECT_EQ(settings.SpinZ, -7);
    // The slider keeps what the user set; only the stored value snaps.
    EXPECT_EQ(SliderOf(p, 1000)->value(), 5);
}

TEST_F(AdvOptPage, NoExitEventKeepsThePageAndTheRecordAnyOneLetsItGo)
{
    settings.SpinX = 40;
    CAdvOptDlg& p = Open();
    p.activateWindow();
    for (int id : {1071, 1072, 1073})
        if (Box(id)->isChecked())
            Click(id);
    SliderOf(p, 1000)->setValue(80);
    Click(1007);

    EXPECT_FALSE(p.SaveExchange());
    ASSERT_TRUE(p.LastBalloon().has_value());
    EXPECT_EQ(p.LastBalloon()->titleId, 335);
    EXPECT_EQ(p.LastBalloon()->text.toStdString(), LoadStringId(159));
    EXPECT_EQ(p.LastBalloon()->controlId, 1071);
    EXPECT_EQ(p.LastBalloon()->icon, BalloonIcon::Error);
    QTRY_VERIFY_WITH_TIMEOUT(Box(1071)->hasFocus(), 2000);
    // Nothing was copied, not even the fields that were fine.
    EXPECT_EQ(settings.SpinX, 40);
    EXPECT_EQ(settings.KeepUpright, 0);
    EXPECT_EQ(settings.ExitMMove, 1);

    for (int id : {1071, 1072, 1073}) {
        Click(id);
        EXPECT_TRUE(p.SaveExchange()) << id;
        EXPECT_EQ(settings.ExitMMove, id == 1071);
        EXPECT_EQ(settings.ExitMClick, id == 1072);
        EXPECT_EQ(settings.ExitKClick, id == 1073);
        EXPECT_EQ(settings.SpinX, 80);
        EXPECT_EQ(settings.KeepUpright, 1);
        Click(id);
    }
}

TEST_F(AdvOptPage, TransparentFollowsTheAspectBoxOnItsClicksOnly)
{
    settings.KeepAspectRatio = 0;
    settings.CubeFloat = 1;
    settings.CubeTransp = 1;
    CAdvOptDlg& p = Open();
    // Opened without aspect: off and disabled although stored on.
    EXPECT_FALSE(Box(1177)->isEnabled());
    EXPECT_FALSE(Box(1177)->isChecked());

    // Aspect on with floating pictures: switched on.
    Click(1173);
    EXPECT_TRUE(Box(1177)->isEnabled());
    EXPECT_TRUE(Box(1177)->isChecked());

    // A click on "Floating Pictures" alone applies nothing.
    Click(1175);
    Click(1177);
    EXPECT_FALSE(Box(1177)->isChecked());
    Click(1175);
    EXPECT_FALSE(Box(1177)->isChecked());
    Click(1175);   // floating off again

    // Aspect off: off and disabled; on again without floating: enabled, still off.
    Click(1173);
    EXPECT_FALSE(Box(1177)->isEnabled());
    EXPECT_FALSE(Box(1177)->isChecked());
    Click(1173);
    EXPECT_TRUE(Box(1177)->isEnabled());
    EXPECT_FALSE(Box(1177)->isChecked());
    (void)p;
}

TEST_F(AdvOptPage, StoredTransparencyWithoutAspectIsStoredOffOnLeaving)
{
    settings.KeepAspectRatio = 0;
    settings.CubeFloat = 0;
    settings.CubeTransp = 1;
    CAdvOptDlg& p = Open();
    EXPECT_FALSE(Box(1177)->isChecked());
    ASSERT_TRUE(p.SaveExchange());
    EXPECT_EQ(settings.CubeTransp, 0);
    EXPECT_EQ(settings.KeepAspectRatio, 0);

    // With aspect stored on and floating off, the stored mark is kept.
    settings.KeepAspectRatio = 1;
    settings.CubeTransp = 1;
    CAdvOptDlg& again = Open();
    EXPECT_TRUE(Box(1177)->isEnabled());
    EXPECT_TRUE(Box(1177)->isChecked());
    ASSERT_TRUE(again.SaveExchange());
    EXPECT_EQ(settings.CubeTransp, 1);
}

TEST_F(AdvOptPage, EveryControlOfTheTableHasItsTipTextAndIcon)
{
    CAdvOptDlg& p = Open();
    SettleToolTips();
    const std::pair<int, int> tips[] = {
        {1071, 154}, {1072, 155}, {1073, 156}, {1000, 400}, {1010, 400}, {1011, 400}, {1001, 401},
        {1012, 401}, {1013, 401}, {1166, 402}, {1014, 402}, {1015, 402}, {1002, 403}, {1016, 403},
        {1003, 404}, {1017, 404}, {1006, 405}, {1018, 405}, {1004, 406}, {1007, 407}, {1173, 408},
        {1175, 120}, {1177, 136}};
    for (auto [control, text] : tips) {
        ASSERT_NE(p.Control(control), nullptr) << control;
        EXPECT_TRUE(p.Control(control)->toolTip().contains(QString::fromUtf8(LoadStringId(text)).left(30)))
            << control;
    }
    // The icons beside the sliders are drawn.
    for (int id = 1010; id <= 1018; ++id) {
        auto* label = qobject_cast<QLabel*>(p.Control(id));
        ASSERT_NE(label, nullptr) << id;
        EXPECT_FALSE(label->pixmap().isNull()) << id;
    }
    EXPECT_EQ(Box(1071)->text(), "Mouse move");
    EXPECT_EQ(Box(1177)->text(), "Transparent");
}

TEST_F(AdvOptPage, GroupBoxesStretchWithTheWidthAndTheRestStays)
{
    CAdvOptDlg& p = Open();
    const QRect group = p.Control(1112)->geometry();
    const QRect speedGroup = p.Control(1098)->geometry();
    const QRect slider = p.Control(1000)->geometry();
    const QRect box = p.Control(1177)->geometry();
    QGroupBox* spin = nullptr;
    for (QGroupBox* g : p.findChildren<QGroupBox*>())
        if (g->title() == "Spin rate")
            spin = g;
    ASSERT_NE(spin, nullptr);
    const QRect spinGroup = spin->geometry();
    p.resize(p.width() + 120, p.height() + 80);
    QApplication::processEvents();
    EXPECT_EQ(p.Control(1112)->geometry().width(), group.width() + 120);
    EXPECT_EQ(p.Control(1112)->geometry().topLeft(), group.topLeft());
    EXPECT_EQ(p.Control(1112)->geometry().height(), group.height());
    EXPECT_EQ(p.Control(1098)->geometry().width(), speedGroup.width() + 120);
    EXPECT_EQ(p.Control(1000)->geometry(), slider);
    EXPECT_EQ(p.Control(1177)->geometry(), box);
    EXPECT_EQ(spin->geometry(), spinGroup);
}
