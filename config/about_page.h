#pragma once
// The "About" page: the program's version, the link to its documentation and
// the troubleshooting switch that turns the log on, with a button that shows
// the log.
#include "config/config_page.h"
#include "config/log_viewer.h"

#include <QPointer>
#include <QUrl>

#include <functional>


class CAboutPage : public CConfigPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 101;

    // Hands a file to the desktop; false when nothing could be started.
    using FileOpener = std::function<bool(const QUrl&)>;

    CAboutPage(const DialogTemplate& dialog, SheetContext& context, QWidget* parent = nullptr);

    // The desktop's handler for text files by default.
    void SetFileOpener(FileOpener opener) { opener_ = std::move(opener); }
    // The program's own log window, while it is open.
    CLogViewer* LogViewer() const { return viewer_; }

    // "Open": the log to the desktop's handler, else into the program's own
    // viewer; a balloon when there is no log yet.
    void OpenLog();

protected:
    void OnInitPage() override;

private:
    void ShowInViewer(const QString& path);

    int trace_ = 0;
    FileOpener opener_;
    QPointer<CLogViewer> viewer_;
};
