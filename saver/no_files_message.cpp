#include "saver/no_files_message.h"

#include "app/log.h"
#include "app/saver_app.h"
#include "res/string_table.h"

#include <QMessageBox>
#include <QWindow>

void ShowNoFilesMessage()
{
    Log("ScrInit: no image files found, showing message %d", static_cast<int>(IDS_NO_FILES));
    // The show's keyboard grab would keep every key from the box.
    QWindow* grabbing = nullptr;
    if (auto* main = dynamic_cast<QWindow*>(TheApp().mainWindow); main && main->isVisible()) {
        grabbing = main;
        grabbing->setKeyboardGrabEnabled(false);
    }
    QMessageBox box(QMessageBox::Information, QString::fromUtf8(LoadStringId(IDS_APP_NAME)),
                    QString::fromStdString(LoadStringId(IDS_NO_FILES)), QMessageBox::Ok);
    // Above the full-screen windows, which are outside the window manager's control too.
    box.setWindowFlags(box.windowFlags() | Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint);
    box.show();
    box.activateWindow();
    box.exec();
    if (grabbing)
        grabbing->setKeyboardGrabEnabled(true);
}
