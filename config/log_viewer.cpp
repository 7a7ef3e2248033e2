#include "config/log_viewer.h"

#include "res/string_table.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>

QString ReadLogForViewing(const QString& path, qint64 maxBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString::fromUtf8(FormatStringId(IDS_LOG_UNREADABLE, QFile::encodeName(path).constData()));
    const qint64 size = file.size();
    QString note;
    if (size > maxBytes) {
        file.seek(size - maxBytes);
        // Start at a whole line so the first one shown is not a fragment.
        file.readLine();
        note = QString::fromUtf8(FormatStringId(IDS_LOG_TAIL_ONLY, static_cast<int>(maxBytes / 1024)))
            + QLatin1Char('\n');
    }
    QByteArray bytes = file.read(maxBytes);
    // A log written while a show crashed may end in NULs; they would cut the text.
    bytes.replace('\0', ' ');
    return note + QString::fromUtf8(bytes);
}

CLogViewer::CLogViewer(const QString& path, QWidget* parent)
    : QWidget(parent, Qt::Window), path_(path)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QFileInfo(path).fileName() + QStringLiteral(" - ") + path);

    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* buttons = new QDialogButtonBox(this);
    reload_ = buttons->addButton(QString::fromUtf8(LoadStringId(IDS_LOG_RELOAD)), QDialogButtonBox::ActionRole);
    QPushButton* close = buttons->addButton(QString::fromUtf8(LoadStringId(IDS_LOG_CLOSE)),
                                            QDialogButtonBox::RejectRole);
    connect(reload_, &QPushButton::clicked, this, &CLogViewer::Reload);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* f5 = new QShortcut(QKeySequence::Refresh, this);
    connect(f5, &QShortcut::activated, this, &CLogViewer::Reload);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(buttons);
    resize(720, 480);
    Reload();
}

void CLogViewer::Reload()
{
    text_->setPlainText(ReadLogForViewing(path_, kMaxBytes));
    text_->verticalScrollBar()->setValue(text_->verticalScrollBar()->maximum());
}

QString CLogViewer::Text() const
{
    return text_->toPlainText();
}
