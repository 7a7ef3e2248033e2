#pragma once
// Dialog templates: the controls of a configuration page as data, so a page
// reads like the table it was designed from. Templates live in res/dialogs/
// as <id>.dlg (compiled into the Qt resource ":/dialogs/<id>.dlg").
//
// Format (UTF-8 text, one statement per line):
//
//   # a comment; blank lines are ignored
//   dialog <id> "<caption>" <width> <height> [font "<face>" <points>]
//   <kind> <id|-> "<text>" <x> <y> <width> <height> [anchor <l> <t> <r> <b>] [flag...]
//
// - The `dialog` line comes first and exactly once; sizes are dialog units.
// - `-` stands for a control without id (labels, frames); ids are otherwise
//   unique within a template.
// - Texts are double-quoted; \" and \\ are the only escapes. An ampersand
//   marks the keyboard accelerator ("&Count Files"), "&&" a literal one.
// - Rectangles are in dialog units: x = 4 units per average character width,
//   y = 8 units per character height of the page's font.
// - `anchor l t r b`: percentages (0..100) of the page's width and height. On a
//   resize the control's top-left corner keeps its distance to the point at
//   (l %, t %) and its bottom-right corner to (r %, b %). Without an anchor
//   the control keeps its place.
// - Kinds: checkbox, radio, label, groupbox, frame, button, edit, updown,
//   folderlist, colourbutton, slider, combobox, icon, link. A combobox's text
//   holds its items, separated by '|' ("None|Date|Name").
// - Flags: `right` / `center` (text alignment of labels and links),
//   `icon=<resource id>` (the image of an icon control), `vertical` (slider),
//   `min=<n>` / `max=<n>` (range of a slider or up-down), `disabled`, `hidden`.
// - Binding flags, read by the configuration pages: `setting=<key>` (the
//   settings key the control shows and edits), `tip=<string id>` (its tool
//   tip), `positive` (an edit box refuses 0 and below).
// - The value of `icon=`, `tip=`, `min=` and `max=` is a decimal number.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class ControlKind {
    CheckBox,
    Radio,
    Label,
    GroupBox,
    Frame,
    Button,
    Edit,
    UpDown,
    FolderList,
    ColourButton,
    Slider,
    ComboBox,
    Icon,
    Link,
};

// Percentages of the page size that a control's corners follow.
struct Anchor {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Anchor&) const = default;
};

// A rectangle in dialog units.
struct DialogRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const DialogRect&) const = default;
};

struct DialogControl {
    int id = -1;                  // -1: no id
    ControlKind kind = ControlKind::Label;
    std::string text;             // with its '&' accelerator marks
    DialogRect rect;
    std::optional<Anchor> anchor;
    std::vector<std::string> flags;

    bool HasFlag(std::string_view flag) const;
    // The value of a `name=value` flag, when present.
    std::optional<std::string> FlagValue(std::string_view name) const;
    // The value of a numeric flag (`tip=`, `min=`...), when present.
    std::optional<int> IntFlag(std::string_view name) const;
    // A combobox's items.
    std::vector<std::string> Items() const;
};

struct DialogTemplate {
    int id = 0;
    std::string caption;
    int width = 0, height = 0;    // dialog units
    std::string fontFace;
    int fontPoints = 8;
    std::vector<DialogControl> controls;

    // The control with this id, or nullptr.
    const DialogControl* Find(int controlId) const;
};

// Parses a template. On a malformed text answers nothing and, when `error` is
// given, a message naming the line.
std::optional<DialogTemplate> ParseDialogTemplate(std::string_view text, std::string* error = nullptr);

// The name of a kind as written in templates, and back.
std::string_view ControlKindName(ControlKind kind);
std::optional<ControlKind> ControlKindFromName(std::string_view name);

// The visible text of a control: accelerator marks removed, "&&" kept as one '&'.
std::string StripAccelerator(std::string_view text);
