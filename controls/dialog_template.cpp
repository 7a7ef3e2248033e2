#include "controls/dialog_template.h"

#include <array>
#include <charconv>
#include <set>
#include <utility>

namespace {
constexpr std::array<std::pair<ControlKind, std::string_view>, 14> kKinds{{
    {ControlKind::CheckBox, "checkbox"},
    {ControlKind::Radio, "radio"},
    {ControlKind::Label, "label"},
    {ControlKind::GroupBox, "groupbox"},
    {ControlKind::Frame, "frame"},
    {ControlKind::Button, "button"},
    {ControlKind::Edit, "edit"},
    {ControlKind::UpDown, "updown"},
    {ControlKind::FolderList, "folderlist"},
    {ControlKind::ColourButton, "colourbutton"},
    {ControlKind::Slider, "slider"},
    {ControlKind::ComboBox, "combobox"},
    {ControlKind::Icon, "icon"},
    {ControlKind::Link, "link"},
}};

// Dialog units beyond this are certainly a typing error, and keep the pixel
// arithmetic far from overflow.
constexpr int kMaxUnits = 10000;

struct Token {
    std::string text;
    bool quoted = false;
};

// Splits a line into words and quoted strings; false on an unterminated string.
bool Tokenise(std::string_view line, std::vector<Token>& out, std::string& why)
{
    std::size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '"') {
            Token t;
            t.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char d = line[i++];
                if (d == '"') {
                    closed = true;
                    break;
                }
                if (d == '\\') {
                    if (i >= line.size() || (line[i] != '"' && line[i] != '\\')) {
                        why = "unknown escape in a text";
                        return false;
                    }
                    d = line[i++];
                }
                t.text += d;
            }
            if (!closed) {
                why = "text without its closing quote";
                return false;
            }
            out.push_back(std::move(t));
        } else {
            Token t;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '"')
                t.text += line[i++];
            out.push_back(std::move(t));
        }
    }
    return true;
}

// A decimal number, optionally negative, and nothing else.
std::optional<int> Decimal(std::string_view text)
{
    int value = 0;
    const char* last = text.data() + text.size();
    auto [end, ec] = std::from_chars(text.data(), last, value);
    if (text.empty() || ec != std::errc() || end != last)
        return std::nullopt;
    return value;
}

bool Number(const Token& t, int low, int high, int& value)
{
    if (t.quoted)
        return false;
    std::optional<int> n = Decimal(t.text);
    if (!n || *n < low || *n > high)
        return false;
    value = *n;
    return true;
}

// Flags whose value is a number.
constexpr std::string_view kNumericFlags[] = {"icon", "tip", "min", "max"};

class Parser {
public:
    std::optional<DialogTemplate> Run(std::string_view text, std::string* error)
    {
        std::size_t lineNo = 0;
        bool haveDialog = false;
        while (!text.empty()) {
            std::size_t nl = text.find('\n');
            std::string_view line = text.substr(0, nl);
            text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
            ++lineNo;
            std::vector<Token> tokens;
            std::string why;
            bool ok = Tokenise(line, tokens, why);
            if (ok && (tokens.empty() || (!tokens[0].quoted && tokens[0].text.starts_with('#'))))
                continue;
            if (ok) {
                if (!tokens[0].quoted && tokens[0].text == "dialog") {
                    ok = !haveDialog && Dialog(tokens, why);
                    if (haveDialog)
                        why = "a second dialog line";
                    haveDialog = true;
                } else if (!haveDialog) {
                    ok = false;
                    why = "a control before the dialog line";
                } else {
                    ok = Control(tokens, why);
                }
            }
            if (!ok) {
                if (error)
                    *error = "line " + std::to_string(lineNo) + ": " + why;
                return std::nullopt;
            }
        }
        if (!haveDialog) {
            if (error)
                *error = "no dialog line";
            return std::nullopt;
        }
        return std::move(result_);
    }

private:
    bool Dialog(const std::vector<Token>& t, std::string& why)
    {
        why = "expected: dialog <id> \"<caption>\" <width> <height> [font \"<face>\" <points>]";
        if (t.size() != 5 && t.size() != 8)
            return false;
        if (!Number(t[1], 1, 65535, result_.id) || !t[2].quoted || !Number(t[3], 1, kMaxUnits, result_.width) ||
            !Number(t[4], 1, kMaxUnits, result_.height))
            return false;
        result_.caption = t[2].text;
        if (t.size() == 8) {
            if (t[5].quoted || t[5].text != "font" || !t[6].quoted || !Number(t[7], 1, 72, result_.fontPoints))
                return false;
            result_.fontFace = t[6].text;
        }
        return true;
    }

    bool Control(const std::vector<Token>& t, std::string& why)
    {
        why = "expected: <kind> <id|-> \"<text>\" <x> <y> <width> <height> [anchor l t r b] [flags]";
        if (t.size() < 7)
            return false;
        DialogControl c;
        std::optional<ControlKind> kind = t[0].quoted ? std::nullopt : ControlKindFromName(t[0].text);
        if (!kind) {
            why = "unknown control kind \"" + t[0].text + "\"";
            return false;
        }
        c.kind = *kind;
        if (!(t[1].text == "-" && !t[1].quoted) && !Number(t[1], 0, 65535, c.id))
            return false;
        if (!t[2].quoted)
            return false;
        c.text = t[2].text;
        if (!Number(t[3], 0, kMaxUnits, c.rect.x) || !Number(t[4], 0, kMaxUnits, c.rect.y) ||
            !Number(t[5], 0, kMaxUnits, c.rect.width) || !Number(t[6], 0, kMaxUnits, c.rect.height))
            return false;
        std::size_t i = 7;
        if (i < t.size() && !t[i].quoted && t[i].text == "anchor") {
            Anchor a;
            if (t.size() < i + 5 || !Number(t[i + 1], 0, 100, a.left) || !Number(t[i + 2], 0, 100, a.top) ||
                !Number(t[i + 3], 0, 100, a.right) || !Number(t[i + 4], 0, 100, a.bottom)) {
                why = "an anchor needs four percentages from 0 to 100";
                return false;
            }
            c.anchor = a;
            i += 5;
        }
        for (; i < t.size(); ++i) {
            if (t[i].quoted || t[i].text.empty()) {
                why = "a flag cannot be a quoted text";
                return false;
            }
            c.flags.push_back(t[i].text);
        }
        for (std::string_view name : kNumericFlags) {
            std::optional<std::string> value = c.FlagValue(name);
            if (value && !Decimal(*value)) {
                why = std::string(name) + "= needs a number";
                return false;
            }
        }
        if (c.kind == ControlKind::ComboBox && c.text.empty()) {
            why = "a combobox needs its items";
            return false;
        }
        if (c.id >= 0 && !ids_.insert(c.id).second) {
            why = "id " + std::to_string(c.id) + " used twice";
            return false;
        }
        result_.controls.push_back(std::move(c));
        return true;
    }

    DialogTemplate result_;
    std::set<int> ids_;
};
} // namespace

bool DialogControl::HasFlag(std::string_view flag) const
{
    for (const std::string& f : flags)
        if (f == flag)
            return true;
    return false;
}

std::optional<std::string> DialogControl::FlagValue(std::string_view name) const
{
    for (const std::string& f : flags)
        if (f.size() > name.size() && f.compare(0, name.size(), name) == 0 && f[name.size()] == '=')
            return f.substr(name.size() + 1);
    return std::nullopt;
}

std::optional<int> DialogControl::IntFlag(std::string_view name) const
{
    std::optional<std::string> value = FlagValue(name);
    return value ? Decimal(*value) : std::nullopt;
}

std::vector<std::string> DialogControl::Items() const
{
    std::vector<std::string> items;
    if (kind != ControlKind::ComboBox)
        return items;
    std::size_t start = 0;
    for (std::size_t bar; (bar = text.find('|', start)) != std::string::npos; start = bar + 1)
        items.push_back(text.substr(start, bar - start));
    items.push_back(text.substr(start));
    return items;
}

const DialogControl* DialogTemplate::Find(int controlId) const
{
    if (controlId < 0)
        return nullptr;
    for (const DialogControl& c : controls)
        if (c.id == controlId)
            return &c;
    return nullptr;
}

std::optional<DialogTemplate> ParseDialogTemplate(std::string_view text, std::string* error)
{
    return Parser().Run(text, error);
}

std::string_view ControlKindName(ControlKind kind)
{
    for (const auto& [k, name] : kKinds)
        if (k == kind)
            return name;
    return {};
}

std::optional<ControlKind> ControlKindFromName(std::string_view name)
{
    for (const auto& [k, n] : kKinds)
        if (n == name)
            return k;
    return std::nullopt;
}

std::string StripAccelerator(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&')
                out += '&', ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}
