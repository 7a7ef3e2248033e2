#pragma once
// A small read-only window that shows the log file, for desktops where no
// text-file handler can be started. It reads the file when made and on
// "Reload"; a very large log shows only its last part.
#include <QString>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;

class CLogViewer : public QWidget {
    Q_OBJECT
public:
    // Larger files show their last kMaxBytes, from the first whole line on.
    static constexpr qint64 kMaxBytes = 2 * 1024 * 1024;

    explicit CLogViewer(const QString& path, QWidget* parent = nullptr);

    // Reads the file again and scrolls to its end, where the newest lines are.
    void Reload();

    QString Path() const { return path_; }
    QString Text() const;
    QPlainTextEdit* TextView() const { return text_; }
    QPushButton* ReloadButton() const { return reload_; }

private:
    QString path_;
    QPlainTextEdit* text_ = nullptr;
    QPushButton* reload_ = nullptr;
};

// The text a log viewer shows for the file at `path` (exposed for the viewer's tests).
QString ReadLogForViewing(const QString& path, qint64 maxBytes);
