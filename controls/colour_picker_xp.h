#pragma once
// The colour button: shows the current colour and drops down a grid of named
// colours with a "More Colors..." entry that opens the colour dialog.
#include "controls/bgr_colour.h"
#include "controls/colour_popup.h"
#include "controls/colour_table.h"

#include <QPointer>
#include <QPushButton>
#include <QString>

#include <cstdint>

class ProfileStore;

class CColourPickerXP : public QPushButton {
    Q_OBJECT
public:
    explicit CColourPickerXP(QWidget* parent = nullptr);
    ~CColourPickerXP() override;

    // 0x00BBGGRR, or 0xFF000000 for the automatic colour.
    void SetColor(uint32_t bgr);
    uint32_t GetColor() const { return colour_; }
    void SetDefaultText(const QString& text) { defaultText_ = text; }
    void SetCustomText(const QString& text) { customText_ = text; }
    QString DefaultText() const { return defaultText_; }
    QString CustomText() const { return customText_; }
    // Section of the store where the colour dialog's 16 custom colours live;
    // empty: none (they start white every time). The store is the caller's.
    void SetRegSection(const QString& section) { regSection_ = section; }
    void SetProfileStore(ProfileStore* store) { store_ = store; }
    // Whether the button shows each colour the pop-up passes over (on at
    // construction); the end restores or keeps the colour either way.
    void SetTrackSelection(bool track) { trackSelection_ = track; }
    bool TrackSelection() const { return trackSelection_; }

    // The pop-up while it is open (null otherwise).
    CColourPopup* Popup() const { return popup_; }
    // Opens the pop-up below the button, as a click does.
    void OpenPopup();

    // The colour drawn for the automatic value: the palette's Window colour.
    QColor AutomaticColour() const;

signals:
    void SelChange(uint32_t colour);
    void DropDown(uint32_t colour);
    void CloseUp(uint32_t colour);
    void SelEndOK(uint32_t colour);
    void SelEndCancel(uint32_t colour);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void OnPopupSelChange(uint32_t colour);
    void OnPopupEndOK(uint32_t colour);
    void OnPopupEndCancel(uint32_t colour);
    void UpdateAccessibility();

    uint32_t colour_ = kAutomaticColour;
    uint32_t committed_ = kAutomaticColour;   // the colour before a previewing pop-up
    QString defaultText_;
    QString customText_;
    QString regSection_;
    ProfileStore* store_ = nullptr;
    bool trackSelection_ = true;
    QPointer<CColourPopup> popup_;
};
