#pragma once
// The data exchange of a page, read from its template: a row that names a
// setting (`setting=<key>`) shows that field of the record and stores it back,
// the control's kind telling how:
//   checkbox       a 0/1 integer
//   edit           a signed decimal integer; `positive` refuses 0 and below
//   slider         an integer, within the row's min= and max=
//   combobox       an integer, the index of the chosen item
//   colourbutton   a 0x00BBGGRR integer
//   folderlist     a folder list; every folder, enabled or not, must exist
// Load() fills the controls from the record. Save() reads every control, then
// runs the page's own checks, and stores only when all pass: a refused
// exchange leaves the record exactly as it was.
#include "app/saver_settings.h"
#include "controls/balloon_message.h"

#include <QString>

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

class CResizablePage;
class QWidget;

// A balloon of a page: title and text, the control it points at (-1: the
// mouse pointer) and its icon. A refused exchange answers one.
struct PageBalloon {
    int titleId = 0;
    QString text;
    int controlId = -1;
    BalloonIcon icon = BalloonIcon::Warning;
};
using Refusal = PageBalloon;

class PageBinding {
public:
    // Binds the page's template rows; a row naming an unknown setting, or one
    // its control cannot show, is logged and left unbound.
    explicit PageBinding(CResizablePage& page);

    // Changes the integer read from a control before it is stored.
    void Adjust(int controlId, std::function<int(int)> adjust);
    // A check of the page's own, run once every control was read well.
    void AddCheck(std::function<std::optional<Refusal>()> check);
    // Load and store steps of the page's own, after the bound controls'.
    void Custom(std::function<void(const CSaverSettings&)> load, std::function<void(CSaverSettings&)> store);

    void Load(const CSaverSettings& settings) const;
    // Nothing when the values were stored, else why they were not.
    std::optional<Refusal> Save(CSaverSettings& settings);

private:
    struct Bound {
        int controlId;
        QWidget* control;
        const SettingRow* row;
        bool positive;
        std::function<int(int)> adjust;
        int pendingValue = 0;
        StringList pendingFolders;
    };
    std::optional<Refusal> Read(Bound& b) const;

    std::vector<Bound> bound_;
    std::vector<std::function<std::optional<Refusal>()>> checks_;
    std::vector<std::function<void(const CSaverSettings&)>> loads_;
    std::vector<std::function<void(CSaverSettings&)>> stores_;
};

// The text shown for an integer box holding something else.
inline constexpr const char* kEnterIntegerText = "Please enter an integer.";

// The integer in a text box: optional blanks, an optional sign, decimal
// digits, optional blanks, within 32 bits; nothing otherwise.
std::optional<int> ParseBoxInteger(std::string_view text);
