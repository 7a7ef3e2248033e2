// The hyperlink label, the icon buttons and the tool tips on the display.
#include "controls/controls.h"
#include "res/string_table.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QPushButton>
#include <QTest>
#include <QToolTip>
#include <QUrl>

#include <memory>

#include "url_catcher.h"
#include "wait_for.h"


TEST(StaticLink, ClickOpensRightClickCopiesAndItNamesItself)
{
    UrlCatcher catcher(QStringLiteral("tsvtest"));
    auto window = std::make_unique<QWidget>();
    auto* link = new CStaticLink(QStringLiteral("tsvtest://example.org/page"), window.get());
    link->setGeometry(10, 10, 260, 20);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

    EXPECT_EQ(link->text(), QStringLiteral("tsvtest://example.org/page"));
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(link->toolTip(), QString::fromUtf8(LoadStringId(IDS_LINK_TIP)));
    EXPECT_EQ(link->accessibleName(), link->text());

    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls.front(), QUrl(QStringLiteral("tsvtest://example.org/page")));

    QApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::mouseClick(link, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("tsvtest://example.org/page"));
    EXPECT_EQ(catcher.urls.size(), 1) << "a right click opens nothing";

    // A release away from the label (a drag off it) opens nothing either.
    QTest::mousePress(link, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(5, 80));
    EXPECT_EQ(catcher.urls.size(), 1);

    link->SetLink(QStringLiteral("tsvtest://other"));
    link->setFocus();
    QTest::keyClick(link, Qt::Key_Return);
    ASSERT_EQ(catcher.urls.size(), 2);
    EXPECT_EQ(catcher.urls.back(), QUrl(QStringLiteral("tsvtest://other")));
}

TEST(ResourceIcons, KnownIdsLoadAndButtonsKeepTheirText)
{
    for (int id : {100, 155, 156, 157}) {
        const QIcon icon = ResourceIcon(id);
        ASSERT_FALSE(icon.isNull()) << id;
        EXPECT_GE(icon.availableSizes().size(), 1) << id;
        const QImage image = icon.pixmap(32, 32).toImage();
        EXPECT_EQ(image.width(), 32) << id;
        // Drawn, not blank: the centre of each drawing is opaque.
        EXPECT_EQ(qAlpha(image.pixel(16, 16)), 255) << id;
    }
    EXPECT_TRUE(ResourceIcon(9999).isNull());

    QPushButton ok(QStringLiteral("&OK"));
    MakeIconButton(&ok, 155);
    EXPECT_FALSE(ok.icon().isNull());
    EXPECT_EQ(ok.text(), QStringLiteral("&OK"));
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&ok);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("OK"));

    QPushButton plain(QStringLiteral("Plain"));
    MakeIconButton(&plain, 9999);
    EXPECT_TRUE(plain.icon().isNull());
    MakeIconButton(nullptr, 155);   // refused without harm
}

TEST(ControlToolTip, LongTextsWrapAtTheMaximumWidthAndTextStaysText)
{
    const QString longText = QString::fromUtf8(LoadStringId(IDS_TRACE_TIP));
    QWidget control;
    SetControlToolTip(&control, longText);
    EXPECT_TRUE(control.toolTip().contains(QStringLiteral("width=\"400\""))) << control.toolTip().toStdString();
    EXPECT_TRUE(control.toolTip().contains(QStringLiteral("Tessaview.log")));

    // Shown, the long text wraps at about the maximum width instead of one long line.
    control.setGeometry(100, 100, 50, 20);
    control.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&control));
    QToolTip::showText(control.mapToGlobal(QPoint(5, 5)), control.toolTip(), &control);
    QWidget* tip = nullptr;
    WaitFor([&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->inherits("QTipLabel"))
                tip = w;
        return tip != nullptr;
    });
    ASSERT_NE(tip, nullptr);
    EXPECT_LE(tip->width(), kToolTipMaxWidth + 40);
    EXPECT_GE(tip->width(), kToolTipMaxWidth - 40);
    EXPECT_GT(tip->height(), 3 * tip->fontMetrics().height());
    QToolTip::hideText();

    SetControlToolTip(&control, QStringLiteral("Short"));
    EXPECT_FALSE(control.toolTip().contains(QStringLiteral("width=")));
    EXPECT_TRUE(Qt::mightBeRichText(control.toolTip()));

    // Markup in a text shows as the characters it is.
    EXPECT_EQ(WrappedToolTip(QStringLiteral("a <b> & c"), 50), QStringLiteral("<qt>a &lt;b&gt; &amp; c</qt>"));
    EXPECT_EQ(WrappedToolTip(QStringLiteral("two\nlines"), 50), QStringLiteral("<qt>two<br>lines</qt>"));
    EXPECT_EQ(WrappedToolTip(QString(), 0), QString());
    SetControlToolTip(&control, QString());
    EXPECT_TRUE(control.toolTip().isEmpty());
}

