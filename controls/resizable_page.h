#pragma once
// A page built from a dialog template: one real Qt widget per control, placed
// by dialog units converted with the page font, and kept at its anchors when
// the page is resized.
#include "controls/dialog_template.h"
#include "controls/page_layout.h"

#include <QString>
#include <QWidget>

#include <map>
#include <optional>
#include <vector>

// The template <id> from the program's resources (":/dialogs/<id>.dlg");
// nothing, with the reason logged, when it is missing or malformed.
std::optional<DialogTemplate> LoadDialogTemplate(int id);

// The dialog base units of a font, as the pages use them.
DialogBaseUnits BaseUnitsOf(const QFont& font);

// The widget a template row becomes, with the row's text, alignment, range
// and flags applied; not yet placed.
QWidget* CreateTemplateControl(const DialogControl& control, QWidget* parent);

class CResizablePage : public QWidget {
    Q_OBJECT
public:
    // Builds the template's controls at once; an empty template makes an empty page.
    explicit CResizablePage(const DialogTemplate& dialog, QWidget* parent = nullptr);

    const DialogTemplate& Template() const { return template_; }
    QString Caption() const { return QString::fromStdString(template_.caption); }
    // The page's size in pixels when the template was laid out.
    QSize InitialSize() const { return {layout_.InitialPage().width, layout_.InitialPage().height}; }

    // The control with this id, or nullptr.
    QWidget* Control(int id) const;
    // Every control, in template order (index i is the template's row i).
    const std::vector<QWidget*>& Controls() const { return widgets_; }
    template <class T>
    T* ControlAs(int id) const
    {
        return qobject_cast<T*>(Control(id));
    }
    // Replaces (or removes, with nothing) the anchor of a control and re-lays the page.
    void SetAnchor(int id, const std::optional<Anchor>& anchor);

    QSize sizeHint() const override { return InitialSize(); }
    QSize minimumSizeHint() const override { return InitialSize(); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Arrange();

    DialogTemplate template_;
    AnchorLayout layout_;
    std::vector<QWidget*> widgets_;   // in template order, owned as children
    std::map<int, int> indexOfId_;
};
