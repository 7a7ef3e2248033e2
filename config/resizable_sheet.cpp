#include "config/resizable_sheet.h"

#include "app/log.h"
#include "controls/colour_popup.h"   // completes the picker's pop-up pointer
#include "controls/controls.h"
#include "res/string_table.h"

#include <QCursor>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {
enum ButtonIcon { kOkIcon = 155, kCancelIcon = 156, kHelpIcon = 157, kProgramIcon = 100 };

// Holds one page and gives it all its room.
class PageHolder : public QWidget {
public:
    using QWidget::QWidget;
    void SetPage(QWidget* page)
    {
        page_ = page;
        page_->setGeometry(rect());
    }
    QSize sizeHint() const override { return minimumSize(); }

protected:
    void resizeEvent(QResizeEvent*) override
    {
        if (page_)
            page_->setGeometry(rect());
    }

private:
    QWidget* page_ = nullptr;
};
} // namespace

CResizableSheet::CResizableSheet(const QString& caption, SheetContext& context, std::vector<PageEntry> pages,
                                 Saver saver, QWidget* parent)
    : QDialog(parent), context_(context), saver_(std::move(saver)), tabs_(new QTabBar(this)),
      stack_(new QStackedWidget(this)), ok_(new QPushButton(tr("OK"), this)),
      cancel_(new QPushButton(tr("Cancel"), this)), help_(new QPushButton(tr("Help"), this))
{
    setWindowTitle(caption);
    setWindowIcon(ResourceIcon(kProgramIcon));
    setSizeGripEnabled(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setWindowFlag(Qt::WindowMinimizeButtonHint, true);

    // Every page is as large as the largest template, as in a property sheet.
    const DialogBaseUnits base = BaseUnitsOf(font());
    QSize pageSize;
    for (PageEntry& entry : pages) {
        Slot slot;
        slot.dialog = LoadDialogTemplate(entry.templateId);
        slot.entry = std::move(entry);
        slot.holder = new PageHolder(stack_);
        if (slot.dialog) {
            PixelSize s = DialogSizeToPixels(slot.dialog->width, slot.dialog->height, base);
            pageSize = pageSize.expandedTo(QSize(s.width, s.height));
        }
        tabs_->addTab(slot.dialog ? QString::fromStdString(slot.dialog->caption) : slot.entry.caption);
        stack_->addWidget(slot.holder);
        slots_.push_back(std::move(slot));
    }
    for (Slot& slot : slots_)
        slot.holder->setMinimumSize(pageSize);
    tabs_->setDrawBase(true);
    tabs_->setExpanding(false);

    MakeIconButton(ok_, kOkIcon);
    MakeIconButton(cancel_, kCancelIcon);
    MakeIconButton(help_, kHelpIcon);
    // Enter presses the focused push button, and OK when the focus is elsewhere.
    ok_->setDefault(true);
    for (QPushButton* b : {ok_, cancel_, help_})
        b->setAutoDefault(true);
    connect(ok_, &QPushButton::clicked, this, &CResizableSheet::accept);
    connect(cancel_, &QPushButton::clicked, this, &CResizableSheet::reject);
    connect(help_, &QPushButton::clicked, this, &CResizableSheet::ShowHelp);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addWidget(help_);

    auto* frame = new QVBoxLayout(this);
    frame->setSpacing(0);
    frame->addWidget(tabs_);
    frame->addWidget(stack_, 1);
    frame->addSpacing(8);
    frame->addLayout(buttons);

    connect(tabs_, &QTabBar::currentChanged, this, &CResizableSheet::OnTabChanged);
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] {
        if (CConfigPage* page = Page(active_))
            page->RequestHelp();
    });
    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    connect(next, &QShortcut::activated, this, [this] { SetActivePage((active_ + 1) % PageCount()); });
    auto* previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), this);
    connect(previous, &QShortcut::activated, this,
            [this] { SetActivePage((active_ + PageCount() - 1) % PageCount()); });

    // The sheet always opens on its first page.
    if (!slots_.empty()) {
        active_ = 0;
        stack_->setCurrentIndex(0);
        EnsurePage(0);
    }
}

CResizableSheet::~CResizableSheet() = default;

QString CResizableSheet::PageCaption(int index) const
{
    return tabs_->tabText(index);
}

CConfigPage* CResizableSheet::Page(int index) const
{
    if (index < 0 || index >= PageCount())
        return nullptr;
    return slots_[static_cast<std::size_t>(index)].page;
}

void CResizableSheet::EnsurePage(int index)
{
    Slot& slot = slots_[static_cast<std::size_t>(index)];
    if (slot.page || !slot.dialog)
        return;
    auto* holder = static_cast<PageHolder*>(slot.holder);
    slot.page = slot.entry.make ? slot.entry.make(*slot.dialog, context_, holder)
                                : new CConfigPage(*slot.dialog, context_, holder);   // owned by the holder
    holder->SetPage(slot.page);
    OrderFocusChain();
    slot.page->show();
    slot.page->Initialise();
    emit PageCreated(index);
}

// A page made later joins the end of the focus chain, after the buttons;
// its controls belong between the tab bar and OK, in template order.
void CResizableSheet::OrderFocusChain()
{
    QWidget* previous = tabs_;
    auto chain = [&previous](QWidget* next) {
        if (next->focusPolicy() == Qt::NoFocus)
            return;
        QWidget::setTabOrder(previous, next);
        previous = next;
    };
    for (const Slot& slot : slots_)
        if (slot.page)
            for (QWidget* control : slot.page->Controls())
                chain(control);
    for (QPushButton* button : {ok_, cancel_, help_})
        chain(button);
}

bool CResizableSheet::SetActivePage(int index)
{
    if (index < 0 || index >= PageCount())
        return false;
    if (index == active_)
        return true;
    if (CConfigPage* page = Page(active_); page && !page->SaveExchange())
        return false;
    active_ = index;
    {
        switching_ = true;
        tabs_->setCurrentIndex(index);
        switching_ = false;
    }
    stack_->setCurrentIndex(index);
    EnsurePage(index);
    return true;
}

void CResizableSheet::OnTabChanged(int index)
{
    if (switching_)
        return;
    if (!SetActivePage(index)) {
        // The page refused: the tab goes back to it.
        switching_ = true;
        tabs_->setCurrentIndex(active_);
        switching_ = false;
    }
}

void CResizableSheet::accept()
{
    if (CConfigPage* page = Page(active_); page && !page->SaveExchange())
        return;
    if (saver_ && !saver_()) {
        lastSaveError_ = NotWrittenText(context_.store);
        Log("CResizableSheet: %s", lastSaveError_.toUtf8().constData());
        QMessageBox::critical(this, windowTitle(), lastSaveError_);
        return;   // the user can try again or cancel; the edits are still here
    }
    QDialog::accept();
}

void CResizableSheet::ShowHelp()
{
    ShowBalloonMessage(IDS_APP_NAME, IDS_HELP_HOVER, this, nullptr, BalloonIcon::Information);
    emit HelpShown();
}

void CResizableSheet::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (firstSize_.isEmpty()) {
        firstSize_ = size();
        setMinimumSize(firstSize_);
    }
}
