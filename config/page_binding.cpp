#include "config/page_binding.h"

#include "app/log.h"
#include "config/folder_entries.h"
#include "controls/colour_popup.h"   // completes the picker's pop-up pointer
#include "controls/controls.h"
#include "controls/folder_list_editor.h"
#include "res/string_table.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QLineEdit>

#include <charconv>

std::optional<int> ParseBoxInteger(std::string_view text)
{
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    // One sign at most: "+-1" is not a number.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

PageBinding::IntegerSteps& PageBinding::IntegerSteps::MustBePositive(int titleId, int textId)
{
    rules_.push_back([titleId, textId](int value) -> std::optional<Refusal> {
        if (value > 0)
            return std::nullopt;
        return Refusal{titleId, QString::fromUtf8(LoadStringId(textId)), nullptr,
                       BalloonIcon::Error};
    });
    return *this;
}

PageBinding::IntegerSteps& PageBinding::IntegerSteps::Rule(std::function<std::optional<Refusal>(int)> rule)
{
    rules_.push_back(std::move(rule));
    return *this;
}

void PageBinding::Check(QWidget* box, IntField field)
{
    auto* button = qobject_cast<QAbstractButton*>(box);
    Q_ASSERT(button);
    auto pending = std::make_shared<int>(0);
    bindings_.push_back({
        [button, field](const CSaverSettings& s) { button->setChecked(s.*field != 0); },
        [button, pending]() -> std::optional<Refusal> {
            *pending = button->isChecked() ? 1 : 0;
            return std::nullopt;
        },
        [pending, field](CSaverSettings& s) { s.*field = *pending; },
    });
}

PageBinding::IntegerSteps& PageBinding::Integer(QWidget* box, IntField field)
{
    auto* edit = qobject_cast<QLineEdit*>(box);
    Q_ASSERT(edit);
    steps_.push_back(std::make_unique<IntegerSteps>());
    IntegerSteps* steps = steps_.back().get();
    auto pending = std::make_shared<int>(0);
    bindings_.push_back({
        [edit, field](const CSaverSettings& s) { edit->setText(QString::number(s.*field)); },
        [edit, pending, steps]() -> std::optional<Refusal> {
            std::optional<int> value = ParseBoxInteger(edit->text().toStdString());
            if (!value)
                return Refusal{IDS_APP_NAME, QString::fromUtf8(kEnterIntegerText), edit,
                               BalloonIcon::Warning};
            for (const auto& rule : steps->rules_)
                if (std::optional<Refusal> r = rule(*value)) {
                    r->control = edit;
                    return r;
                }
            *pending = *value;
            return std::nullopt;
        },
        [pending, field](CSaverSettings& s) { s.*field = *pending; },
    });
    return *steps;
}

void PageBinding::Slider(QWidget* box, IntField field)
{
    auto* slider = qobject_cast<QAbstractSlider*>(box);
    Q_ASSERT(slider);
    auto pending = std::make_shared<int>(0);
    bindings_.push_back({
        [slider, field](const CSaverSettings& s) { slider->setValue(s.*field); },
        [slider, pending]() -> std::optional<Refusal> {
            *pending = slider->value();
            return std::nullopt;
        },
        [pending, field](CSaverSettings& s) { s.*field = *pending; },
    });
}

void PageBinding::Colour(QWidget* box, IntField field)
{
    auto* picker = qobject_cast<CColourPickerXP*>(box);
    Q_ASSERT(picker);
    auto pending = std::make_shared<int>(0);
    bindings_.push_back({
        [picker, field](const CSaverSettings& s) { picker->SetColor(static_cast<uint32_t>(s.*field)); },
        [picker, pending]() -> std::optional<Refusal> {
            *pending = static_cast<int>(picker->GetColor());
            return std::nullopt;
        },
        [pending, field](CSaverSettings& s) { s.*field = *pending; },
    });
}

void PageBinding::Folders(QWidget* box, ListField field)
{
    auto* list = qobject_cast<CFolderListEditor*>(box);
    Q_ASSERT(list);
    auto pending = std::make_shared<StringList>();
    bindings_.push_back({
        [list, field](const CSaverSettings& s) {
            list->Clear();
            for (const std::string& entry : s.*field) {
                FolderItem item = FolderItemFromEntry(entry);
                list->Append(QString::fromStdString(item.path), item.enabled);
            }
        },
        [list, pending]() -> std::optional<Refusal> {
            std::vector<FolderItem> items;
            for (int row = 0; row < list->Count(); ++row)
                items.push_back({list->Text(row).toStdString(), list->IsEnabledAt(row)});
            *pending = EntriesFromFolderItems(items);
            if (const std::string* missing = FirstMissingFolder(*pending)) {
                std::string folder(FolderOfEntry(*missing));
                return Refusal{IDS_WARNING,
                               QString::fromStdString(FormatStringId(IDS_FOLDER_NOT_FOUND, folder.c_str())), list,
                               BalloonIcon::Warning};
            }
            return std::nullopt;
        },
        [pending, field](CSaverSettings& s) { s.*field = *pending; },
    });
}

void PageBinding::Custom(std::function<void(const CSaverSettings&)> load,
                         std::function<std::optional<Refusal>()> check, std::function<void(CSaverSettings&)> store)
{
    if (!check)
        check = [] { return std::optional<Refusal>(); };
    bindings_.push_back({std::move(load), std::move(check), std::move(store)});
}

void PageBinding::Load(const CSaverSettings& settings) const
{
    for (const Binding& b : bindings_)
        if (b.load)
            b.load(settings);
}

bool PageBinding::Save(CSaverSettings& settings)
{
    lastRefusal_.reset();
    for (const Binding& b : bindings_) {
        if (std::optional<Refusal> refusal = b.read()) {
            Refuse(*refusal);
            return false;
        }
    }
    for (const Binding& b : bindings_)
        if (b.store)
            b.store(settings);
    return true;
}

void PageBinding::Refuse(const Refusal& refusal)
{
    lastRefusal_ = refusal;
    Log("PageBinding: refused: %s", refusal.text.toUtf8().constData());
    ShowBalloonMessage(refusal.titleId, refusal.text, page_, refusal.control,
                       refusal.icon);
    if (refusal.control)
        refusal.control->setFocus(Qt::OtherFocusReason);
}
