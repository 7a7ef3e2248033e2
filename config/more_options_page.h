#pragma once
// The "More Options" page: never repeating a photo until all were shown (also
// across runs), the caption drawn on each photo, and a note on the keys that
// work the show like a photo frame.
#include "config/config_page.h"

class CMoreOptionsPage : public CConfigPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 2005;

    CMoreOptionsPage(const DialogTemplate& dialog, SheetContext& context, QWidget* parent = nullptr);

protected:
    void OnInitPage() override;
    bool OffersHelp() const override { return true; }
    void showEvent(QShowEvent* event) override;

private:
    void ApplyOrderRule();
};
