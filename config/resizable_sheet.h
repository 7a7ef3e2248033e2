#pragma once
// The configuration sheet's frame: a resizable dialog with one tab per page,
// OK, Cancel and Help. Pages are made the first time they are shown; leaving
// a page and OK run its saving exchange, and a refusal keeps the page. The
// sheet cannot be made smaller than its first size and remembers nothing.
// Tab runs from the tab bar through the page's controls to OK, Cancel, Help.
#include "config/config_page.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPushButton;
class QStackedWidget;
class QTabBar;

class CResizableSheet : public QDialog {
    Q_OBJECT
public:
    using PageMaker = std::function<CConfigPage*(const DialogTemplate&, SheetContext&, QWidget* parent)>;
    struct PageEntry {
        int templateId;
        PageMaker make;   // empty: a page without rules of its own (CConfigPage)
        QString caption;  // the tab's text while the page has no template yet
    };
    // Saves the record at OK; answers false when it could not be kept.
    using Saver = std::function<bool()>;

    CResizableSheet(const QString& caption, SheetContext& context, std::vector<PageEntry> pages, Saver saver,
                    QWidget* parent = nullptr);
    ~CResizableSheet() override;

    int PageCount() const { return static_cast<int>(slots_.size()); }
    int ActiveIndex() const { return active_; }
    QString PageCaption(int index) const;
    // The page, once it has been shown; nullptr before.
    CConfigPage* Page(int index) const;
    // Switches pages the way a click on a tab does; false when the active page refused.
    bool SetActivePage(int index);

    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }
    QPushButton* HelpButton() const { return help_; }
    // The first size, below which the sheet does not shrink.
    QSize FirstSize() const { return firstSize_; }
    // The message of the last failed save at OK, for callers and tests.
    const QString& LastSaveError() const { return lastSaveError_; }

public slots:
    void accept() override;

signals:
    void PageCreated(int index);
    void HelpShown();

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Slot {
        PageEntry entry;
        std::optional<DialogTemplate> dialog;
        QWidget* holder = nullptr;        // in the stack; the page goes inside on first show
        CConfigPage* page = nullptr;
    };
    void EnsurePage(int index);
    void OrderFocusChain();
    void OnTabChanged(int index);
    void ShowHelp();

    SheetContext& context_;
    Saver saver_;
    std::vector<Slot> slots_;
    QTabBar* tabs_;
    QStackedWidget* stack_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QPushButton* help_;
    int active_ = -1;
    bool switching_ = false;
    QSize firstSize_;
    QString lastSaveError_;
};
