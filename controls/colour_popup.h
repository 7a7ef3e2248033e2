#pragma once
// The colour picker's drop-down: a grid of the table's colours with an
// optional default entry above and custom entry below, ended by the pointer or
// the keys. It previews each colour it passes and reports the end once.
#include "controls/colour_table.h"

#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>

class ProfileStore;

class CColourPopup : public QWidget {
    Q_OBJECT
public:
    // Opens at the button's bottom-left corner (global coordinates of the
    // button's rectangle), on the screen nearest to it.
    CColourPopup(QRect buttonOnScreen, uint32_t colour, const QString& defaultText,
                 const QString& customText, const QString& regSection, ProfileStore* store,
                 QWidget* owner);

    int Selection() const { return selected_; }
    uint32_t SelectedColour() const { return selectedColour_; }
    const ColourPopupLayout& Layout() const { return layout_; }
    // The centre of a cell or entry, in the pop-up's coordinates (for tests and tools).
    QPoint CentreOf(int index) const;

    // The 16 custom colours the colour dialog starts with: stored ones, white for the rest.
    static std::array<uint32_t, 16> LoadCustomColours(ProfileStore* store, const QString& section);
    static void SaveCustomColours(ProfileStore* store, const QString& section,
                                  const std::array<uint32_t, 16>& colours);

signals:
    void SelChange(uint32_t colour);
    void EndOK(uint32_t colour);
    void EndCancel(uint32_t colour);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    ColourPopupEntries Entries() const;
    void Select(int index);
    void EndWithOk();
    void EndWithCancel();
    void Finish(bool ok);
    bool ChooseCustom();
    QRect RectOf(int index) const;

    uint32_t initial_;
    uint32_t selectedColour_;
    int selected_ = kNoSelection;
    QString defaultText_;
    QString customText_;
    QString regSection_;
    ProfileStore* store_;
    QFont menuFont_;
    ColourPopupLayout layout_;
    bool ended_ = false;
    bool inDialog_ = false;
};
