#include "controls/resizable_page.h"

#include "app/log.h"
#include "controls/colour_popup.h"   // completes the picker's pop-up pointer
#include "controls/controls.h"
#include "controls/folder_list_editor.h"
#include "controls/up_down.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QSlider>

std::optional<DialogTemplate> LoadDialogTemplate(int id)
{
    const QString path = QStringLiteral(":/dialogs/%1.dlg").arg(id);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Log("LoadDialogTemplate: template %d missing", id);
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    std::string error;
    std::optional<DialogTemplate> dialog =
        ParseDialogTemplate(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), &error);
    if (!dialog)
        Log("LoadDialogTemplate: template %d refused: %s", id, error.c_str());
    return dialog;
}

DialogBaseUnits BaseUnitsOf(const QFont& font)
{
    const QFontMetrics fm(font);
    DialogBaseUnits base;
    base.charWidth = AverageCharWidth(fm.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")));
    base.charHeight = std::max(1, fm.height());
    return base;
}

namespace {
// The kinds without a visible text of their own, which a label before them names.
// A folder list is named by its column title instead.
bool LabelledByLabelBefore(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Edit:
    case ControlKind::UpDown:
    case ControlKind::ColourButton:
    case ControlKind::Slider:
    case ControlKind::ComboBox:
        return true;
    default:
        return false;
    }
}

Qt::Alignment LabelAlignment(const DialogControl& c)
{
    if (c.HasFlag("right"))
        return Qt::AlignRight | Qt::AlignVCenter;
    if (c.HasFlag("center"))
        return Qt::AlignHCenter | Qt::AlignVCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
}
} // namespace

QWidget* CreateTemplateControl(const DialogControl& c, QWidget* parent)
{
    const QString text = QString::fromStdString(c.text);
    QWidget* w = nullptr;
    switch (c.kind) {
    case ControlKind::CheckBox:
        w = new QCheckBox(text, parent);
        break;
    case ControlKind::Radio:
        w = new QRadioButton(text, parent);
        break;
    case ControlKind::Label: {
        auto* label = new QLabel(text, parent);
        label->setAlignment(LabelAlignment(c));
        label->setTextFormat(Qt::PlainText);
        w = label;
        break;
    }
    case ControlKind::GroupBox:
        w = new QGroupBox(text, parent);
        break;
    case ControlKind::Frame: {
        auto* frame = new QFrame(parent);
        frame->setFrameShape(QFrame::StyledPanel);
        frame->setFrameShadow(QFrame::Sunken);
        w = frame;
        break;
    }
    case ControlKind::Button: {
        // Enter presses the focused button, as in any dialog; the sheet's OK
        // answers Enter only while no push button has the focus.
        auto* button = new QPushButton(text, parent);
        button->setAutoDefault(true);
        w = button;
        break;
    }
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(text, parent);
        w = edit;
        break;
    }
    case ControlKind::UpDown: {
        auto* upDown = new CUpDown(parent);
        upDown->SetRange(c.IntFlag("min").value_or(upDown->Minimum()), c.IntFlag("max").value_or(upDown->Maximum()));
        w = upDown;
        break;
    }
    case ControlKind::FolderList:
        w = new CFolderListEditor(parent);
        break;
    case ControlKind::ColourButton:
        w = new CColourPickerXP(parent);
        break;
    case ControlKind::Slider: {
        auto* slider = new QSlider(c.HasFlag("vertical") ? Qt::Vertical : Qt::Horizontal, parent);
        slider->setRange(c.IntFlag("min").value_or(slider->minimum()), c.IntFlag("max").value_or(slider->maximum()));
        w = slider;
        break;
    }
    case ControlKind::ComboBox: {
        auto* combo = new QComboBox(parent);
        for (const std::string& item : c.Items())
            combo->addItem(QString::fromStdString(item));
        w = combo;
        break;
    }
    case ControlKind::Icon: {
        auto* label = new QLabel(parent);
        label->setAlignment(Qt::AlignCenter);
        if (std::optional<int> icon = c.IntFlag("icon"))
            label->setPixmap(ResourceIcon(*icon).pixmap(32, 32));
        label->setScaledContents(true);
        w = label;
        break;
    }
    case ControlKind::Link: {
        auto* link = new CStaticLink(parent);
        link->setText(text);
        link->SetLink(text);
        link->setAlignment(LabelAlignment(c));
        w = link;
        break;
    }
    }
    if (c.id >= 0)
        w->setObjectName(QStringLiteral("control%1").arg(c.id));
    if (c.HasFlag("disabled"))
        w->setEnabled(false);
    if (c.HasFlag("hidden"))
        w->setVisible(false);
    return w;
}

CResizablePage::CResizablePage(const DialogTemplate& dialog, QWidget* parent)
    : QWidget(parent), template_(dialog)
{
    const DialogBaseUnits base = BaseUnitsOf(font());
    layout_ = AnchorLayout(DialogSizeToPixels(template_.width, template_.height, base));
    // Controls with a text are named by it, as their text changes. A control
    // without one is labelled by the label just before it: the label becomes
    // its buddy, which names it for a screen reader, also when it changes.
    QLabel* lastLabel = nullptr;
    for (const DialogControl& c : template_.controls) {
        QWidget* w = CreateTemplateControl(c, this);
        if (lastLabel && LabelledByLabelBefore(c.kind))
            lastLabel->setBuddy(w);
        lastLabel = c.kind == ControlKind::Label ? qobject_cast<QLabel*>(w) : nullptr;
        if (c.id >= 0)
            indexOfId_[c.id] = static_cast<int>(widgets_.size());
        widgets_.push_back(w);
        layout_.Add(DialogRectToPixels(c.rect, base), c.anchor);
    }
    // Group boxes and frames sit behind the controls they surround.
    for (std::size_t i = 0; i < widgets_.size(); ++i) {
        ControlKind k = template_.controls[i].kind;
        if (k == ControlKind::GroupBox || k == ControlKind::Frame)
            widgets_[i]->lower();
    }
    // Buddies: an up-down steps the edit box just before it in the template.
    for (std::size_t i = 1; i < widgets_.size(); ++i)
        if (auto* ud = qobject_cast<CUpDown*>(widgets_[i]))
            ud->SetBuddy(qobject_cast<QLineEdit*>(widgets_[i - 1]));
    resize(InitialSize());
    Arrange();
}

QWidget* CResizablePage::Control(int id) const
{
    auto it = indexOfId_.find(id);
    return it == indexOfId_.end() ? nullptr : widgets_[static_cast<std::size_t>(it->second)];
}

void CResizablePage::SetAnchor(int id, const std::optional<Anchor>& anchor)
{
    auto it = indexOfId_.find(id);
    if (it == indexOfId_.end())
        return;
    layout_.SetAnchor(it->second, anchor);
    Arrange();
}

void CResizablePage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Arrange();
}

void CResizablePage::Arrange()
{
    const PixelSize page{width(), height()};
    for (std::size_t i = 0; i < widgets_.size(); ++i) {
        PixelRect r = layout_.Place(static_cast<int>(i), page);
        widgets_[i]->setGeometry(r.x, r.y, r.width, r.height);
    }
    // An up-down sits inside the right end of its buddy, which gives up that
    // room, so the arrows never cover the digits.
    for (QWidget* w : widgets_) {
        auto* ud = qobject_cast<CUpDown*>(w);
        if (!ud || !ud->Buddy())
            continue;
        const QRect buddy = ud->Buddy()->geometry();
        const int arrows = std::min(ud->width(), buddy.width() / 2);
        ud->Buddy()->setGeometry(buddy.x(), buddy.y(), buddy.width() - arrows, buddy.height());
        ud->setGeometry(buddy.x() + buddy.width() - arrows, buddy.y(), arrows, buddy.height());
    }
}
