#include "config/about_page.h"

#include "app/log.h"
#include "config/about_info.h"
#include "config/log_viewer.h"
#include "controls/controls.h"
#include "res/string_table.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>

#include <filesystem>
#include <system_error>

namespace {
enum ControlId {
    kVersion = 1019,
    kHomeLink = 1017,
    kTrace = 1036,
    kOpenLog = 1174,
};
} // namespace

CAboutPage::CAboutPage(const DialogTemplate& dialog, SheetContext& context, QWidget* parent)
    : CConfigPage(dialog, context, parent), opener_([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
    if (auto* link = ControlAs<CStaticLink>(kHomeLink))
        link->SetLink(QString::fromStdString(HomePageAddress()));

    // Trace lives in the store, not the record: it is read when the page loads
    // and written as soon as the page is left, however the sheet ends.
    Binding().Custom(
        [this](const CSaverSettings&) {
            trace_ = LoadTraceSetting(Context().store);
            if (auto* box = ControlAs<QAbstractButton>(kTrace))
                box->setChecked(trace_ != 0);
        },
        [this](CSaverSettings&) {
            if (auto* box = ControlAs<QAbstractButton>(kTrace))
                trace_ = box->isChecked() ? 1 : 0;
            if (!SaveTraceSetting(Context().store, trace_))
                Log("CAboutPage: unable to store Trace=%d", trace_);
        });

    if (auto* open = ControlAs<QPushButton>(kOpenLog))
        connect(open, &QPushButton::clicked, this, &CAboutPage::OpenLog);
}

void CAboutPage::OnInitPage()
{
    if (auto* version = ControlAs<QLabel>(kVersion))
        version->setText(QString::fromStdString(
            FormatVersionLine(version->text().toStdString(), ReadProgramVersion())));
}

void CAboutPage::OpenLog()
{
    const std::string path = LogFilePath();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        ShowPageBalloon({IDS_WARNING, QString::fromUtf8(LoadStringId(IDS_LOG_MISSING)), -1, BalloonIcon::Error});
        return;
    }
    const QString file = QString::fromStdString(path);
    if (opener_ && opener_(QUrl::fromLocalFile(file)))
        return;
    ShowInViewer(file);
}

void CAboutPage::ShowInViewer(const QString& path)
{
    if (!viewer_)
        viewer_ = new CLogViewer(path, this);
    else
        viewer_->Reload();
    viewer_->show();
    viewer_->raise();
    viewer_->activateWindow();
}
