#pragma once
// The data exchange of a page, declared once: which control shows which
// settings field, and the checks a value must pass before it is stored.
//
//   binding_.Check(Control(1004), &CSaverSettings::Recursive);
//   binding_.Integer(Control(1011), &CSaverSettings::Delay).MustBePositive(335, 338);
//   binding_.Folders(Control(1003), &CSaverSettings::ImageFolders);
//
// Load() fills the controls from the record. Save() reads every control,
// runs the checks in declaration order and stores the values only when all
// pass: a refused exchange leaves the record exactly as it was, shows the
// refusal as a balloon at the offending control and gives that control focus.
#include "app/saver_settings.h"
#include "controls/balloon_message.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

class QWidget;

// Why an exchange was refused, and where.
struct Refusal {
    int titleId = 0;
    QString text;
    QWidget* control = nullptr;
    BalloonIcon icon = BalloonIcon::Warning;
};

class PageBinding {
public:
    using IntField = int CSaverSettings::*;
    using ListField = StringList CSaverSettings::*;

    // The steps of one integer binding, chained after Integer().
    class IntegerSteps {
    public:
        // Zero and below: balloon (title, text from the string table) with the error icon.
        IntegerSteps& MustBePositive(int titleId, int textId);
        // Any other check: answers the refusal text id for a bad value, or 0.
        IntegerSteps& Rule(std::function<std::optional<Refusal>(int value)> rule);

    private:
        friend class PageBinding;
        std::vector<std::function<std::optional<Refusal>(int)>> rules_;
    };

    explicit PageBinding(QWidget* page) : page_(page) {}

    // A check box (QAbstractButton) bound to a 0/1 field.
    void Check(QWidget* box, IntField field);
    // A text box (QLineEdit) holding a signed decimal integer.
    IntegerSteps& Integer(QWidget* edit, IntField field);
    // A slider (QAbstractSlider) bound to an integer field.
    void Slider(QWidget* slider, IntField field);
    // A colour button (CColourPickerXP) bound to a 0x00BBGGRR field.
    void Colour(QWidget* button, IntField field);
    // A folder-list editor (CFolderListEditor) bound to a folder list; every
    // folder, enabled or not, must exist.
    void Folders(QWidget* list, ListField field);
    // Anything else: load and store steps of the page's own, and an optional check.
    void Custom(std::function<void(const CSaverSettings&)> load,
                std::function<std::optional<Refusal>()> check,
                std::function<void(CSaverSettings&)> store);

    void Load(const CSaverSettings& settings) const;
    bool Save(CSaverSettings& settings);

    // The refusal of the last Save, when it failed.
    const std::optional<Refusal>& LastRefusal() const { return lastRefusal_; }

private:
    struct Binding {
        std::function<void(const CSaverSettings&)> load;
        // Reads the control into the binding's pending value; answers a refusal.
        std::function<std::optional<Refusal>()> read;
        std::function<void(CSaverSettings&)> store;
    };
    void Refuse(const Refusal& refusal);

    QWidget* page_;
    std::vector<Binding> bindings_;
    std::vector<std::unique_ptr<IntegerSteps>> steps_;
    std::optional<Refusal> lastRefusal_;
};

// The text shown for an integer box holding something else.
inline constexpr const char* kEnterIntegerText = "Please enter an integer.";

// The integer in a text box: optional blanks, an optional sign, decimal
// digits, optional blanks, within 32 bits; nothing otherwise.
std::optional<int> ParseBoxInteger(std::string_view text);
