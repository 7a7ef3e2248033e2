#pragma once
// An up-down control beside a buddy edit box: its arrows (and the Up and Down
// keys in the buddy) step the buddy's integer text within a range. Text typed
// into the buddy is left alone, in or out of range; only stepping clamps.
#include <QWidget>

class QLineEdit;
class QToolButton;

class CUpDown : public QWidget {
    Q_OBJECT
public:
    explicit CUpDown(QWidget* parent = nullptr);

    void SetBuddy(QLineEdit* buddy);
    QLineEdit* Buddy() const { return buddy_; }
    void SetRange(int low, int high);
    int Minimum() const { return low_; }
    int Maximum() const { return high_; }
    // One step up (+1) or down (-1) from the buddy's value.
    void Step(int delta);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit* buddy_ = nullptr;
    QToolButton* up_;
    QToolButton* down_;
    int low_ = 0;
    int high_ = 100;
};
