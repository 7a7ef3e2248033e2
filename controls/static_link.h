#pragma once
// The hyperlink label: shows its target; a click opens it, a right click
// copies it to the clipboard.
#include <QLabel>
#include <QString>

class CStaticLink : public QLabel {
    Q_OBJECT
public:
    explicit CStaticLink(QWidget* parent = nullptr);
    explicit CStaticLink(const QString& target, QWidget* parent = nullptr);

    void SetLink(const QString& target);
    QString Link() const { return link_; }

signals:
    // The target was opened (answer of the desktop) or copied.
    void LinkOpened(const QString& target, bool ok);
    void LinkCopied(const QString& target);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Open();
    QString link_;
};
