// tessaview-controls: a small page with the configuration controls, for trying
// them by hand. With --screenshots DIR it shows a balloon, the open colour
// picker, then a balloon in the screen's lower right corner, saves a
// screenshot of each into DIR and ends.
#include "controls/controls.h"
#include "res/string_table.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>

namespace {
struct Demo {
    QWidget page;
    QLineEdit* delay = nullptr;
    CColourPickerXP* colour = nullptr;
    QPushButton* ok = nullptr;

    Demo()
    {
        page.setWindowTitle(QString::fromUtf8(LoadStringId(IDS_CAPTION)));
        page.setWindowIcon(ResourceIcon(100));
        auto* form = new QFormLayout;
        delay = new QLineEdit(QStringLiteral("0"));
        SetControlToolTip(delay, QStringLiteral("Seconds between two photos."));
        form->addRow(QStringLiteral("&Delay:"), delay);
        colour = new CColourPickerXP;
        colour->SetDefaultText(QString());
        colour->SetCustomText(QString::fromUtf8(LoadStringId(IDS_MORE_COLORS)));
        colour->SetColor(0x808080);
        SetControlToolTip(colour, QStringLiteral("Background colour. The colour shown around the cube."));
        form->addRow(QStringLiteral("&Background:"), colour);
        auto* trace = new QCheckBox(QStringLiteral("Enable &logging"));
        SetControlToolTip(trace, QString::fromUtf8(LoadStringId(IDS_TRACE_TIP)));
        form->addRow(trace);
        form->addRow(new CStaticLink(QStringLiteral("https://example.org/tessaview")));

        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        ok = new QPushButton(QStringLiteral("OK"));
        auto* cancel = new QPushButton(QStringLiteral("Cancel"));
        auto* help = new QPushButton(QStringLiteral("Help"));
        MakeIconButton(ok, 155);
        MakeIconButton(cancel, 156);
        MakeIconButton(help, 157);
        buttons->addWidget(ok);
        buttons->addWidget(cancel);
        buttons->addWidget(help);
        auto* column = new QVBoxLayout(&page);
        column->addLayout(form);
        column->addStretch();
        column->addLayout(buttons);

        QObject::connect(ok, &QPushButton::clicked, &page, [this] {
            bool fine = false;
            const int value = delay->text().toInt(&fine);
            if (!fine || value <= 0)
                ShowBalloonMessage(IDS_WRONG_PARAMETER, IDS_MUST_BE_POSITIVE, &page, delay, BalloonIcon::Error);
            else
                page.close();
        });
        QObject::connect(cancel, &QPushButton::clicked, &page, &QWidget::close);
        QObject::connect(help, &QPushButton::clicked, &page, [this] {
            ShowBalloonMessage(IDS_WARNING, IDS_HELP_HOVER, &page, nullptr, BalloonIcon::Information);
        });
        page.resize(420, 260);
    }
};

bool SaveScreen(const QString& path)
{
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    const bool ok = shot.save(path);
    std::printf("%s %s\n", ok ? "saved" : "could not save", qPrintable(path));
    return ok;
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Demo demo;
    const QStringList args = QCoreApplication::arguments();
    const int at = args.indexOf(QStringLiteral("--screenshots"));
    if (at < 0) {
        demo.page.show();
        return QApplication::exec();
    }
    const QString folder = at + 1 < args.size() ? args.at(at + 1) : QStringLiteral(".");
    QDir().mkpath(folder);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    demo.page.move(screen.center() - QPoint(210, 130));
    demo.page.show();
    int failures = 0;
    QTimer::singleShot(300, [&] {
        demo.ok->click();   // "0" is refused with a balloon at the field
        QTimer::singleShot(600, [&] {
            failures += !SaveScreen(folder + QStringLiteral("/controls_balloon.png"));
            // A key closes the balloon, as it would for the user.
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier);
            QApplication::sendEvent(demo.delay, &key);
            demo.colour->OpenPopup();
            QTimer::singleShot(400, [&] {
                if (CColourPopup* popup = demo.colour->Popup()) {
                    QMouseEvent move(QEvent::MouseMove, QPointF(popup->CentreOf(13)),
                                     QPointF(popup->mapToGlobal(popup->CentreOf(13))), Qt::NoButton, Qt::NoButton,
                                     Qt::NoModifier);
                    QApplication::sendEvent(popup, &move);
                }
                QTimer::singleShot(300, [&] {
                    failures += !SaveScreen(folder + QStringLiteral("/controls_picker.png"));
                    if (CColourPopup* popup = demo.colour->Popup())
                        popup->close();
                    // In the lower right corner the tail turns to the bottom right.
                    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
                    demo.page.move(work.bottomRight() - QPoint(demo.page.frameGeometry().width(),
                                                               demo.page.frameGeometry().height()));
                    QTimer::singleShot(300, [&] {
                        ShowBalloonMessage(IDS_WARNING, IDS_HELP_HOVER, &demo.page, demo.ok, BalloonIcon::Warning);
                        QTimer::singleShot(500, [&] {
                            failures += !SaveScreen(folder + QStringLiteral("/controls_balloon_corner.png"));
                            QApplication::exit(failures);
                        });
                    });
                });
            });
        });
    });
    return QApplication::exec();
}
