#include "config/page_binding.h"

#include "app/log.h"
#include "config/folder_entries.h"
#include "controls/colour_popup.h"   // completes the picker's pop-up pointer
#include "controls/controls.h"
#include "controls/folder_list_editor.h"
#include "controls/resizable_page.h"
#include "res/string_table.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLineEdit>

#include <algorithm>
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

namespace {
// Whether a control of this kind can show a setting of that kind.
bool CanShow(ControlKind control, SettingRow::Kind setting)
{
    switch (control) {
    case ControlKind::CheckBox:
    case ControlKind::Edit:
    case ControlKind::Slider:
    case ControlKind::ComboBox:
    case ControlKind::ColourButton:
        return setting == SettingRow::Kind::Integer;
    case ControlKind::FolderList:
        return setting == SettingRow::Kind::Folders;
    default:
        return false;
    }
}
} // namespace

PageBinding::PageBinding(CResizablePage& page)
{
    const DialogTemplate& dialog = page.Template();
    for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
        const DialogControl& c = dialog.controls[i];
        std::optional<std::string> key = c.FlagValue("setting");
        if (!key)
            continue;
        const SettingRow* row = FindSetting(*key);
        if (c.id < 0 || !row || !CanShow(c.kind, row->kind)) {
            Log("PageBinding: template %d: %s %d cannot show setting %s", dialog.id,
                std::string(ControlKindName(c.kind)).c_str(), c.id, key->c_str());
            continue;
        }
        bound_.push_back({c.id, page.Controls()[i], row, c.HasFlag("positive"), {}, 0, {}});
    }
}

void PageBinding::Adjust(int controlId, std::function<int(int)> adjust)
{
    for (Bound& b : bound_)
        if (b.controlId == controlId)
            b.adjust = adjust;
}

void PageBinding::AddCheck(std::function<std::optional<Refusal>()> check)
{
    checks_.push_back(std::move(check));
}

void PageBinding::Custom(std::function<void(const CSaverSettings&)> load, std::function<void(CSaverSettings&)> store)
{
    if (load)
        loads_.push_back(std::move(load));
    if (store)
        stores_.push_back(std::move(store));
}

void PageBinding::Load(const CSaverSettings& s) const
{
    for (const Bound& b : bound_) {
        if (auto* list = qobject_cast<CFolderListEditor*>(b.control)) {
            list->Clear();
            for (const std::string& entry : s.*b.row->folders) {
                FolderItem item = FolderItemFromEntry(entry);
                list->Append(QString::fromStdString(item.path), item.enabled);
            }
            continue;
        }
        const int value = s.*b.row->integer;
        if (auto* picker = qobject_cast<CColourPickerXP*>(b.control))
            picker->SetColor(static_cast<uint32_t>(value));
        else if (auto* box = qobject_cast<QAbstractButton*>(b.control))
            box->setChecked(value != 0);
        else if (auto* edit = qobject_cast<QLineEdit*>(b.control))
            edit->setText(QString::number(value));
        else if (auto* slider = qobject_cast<QAbstractSlider*>(b.control))
            slider->setValue(value);   // a value beyond the range shows at its end
        else if (auto* combo = qobject_cast<QComboBox*>(b.control))
            combo->setCurrentIndex(std::clamp(value, 0, combo->count() - 1));
    }
    for (const auto& load : loads_)
        load(s);
}

std::optional<Refusal> PageBinding::Read(Bound& b) const
{
    if (auto* list = qobject_cast<CFolderListEditor*>(b.control)) {
        list->CommitEdit();
        std::vector<FolderItem> items;
        for (int row = 0; row < list->Count(); ++row)
            items.push_back({list->Text(row).toStdString(), list->IsEnabledAt(row)});
        b.pendingFolders = EntriesFromFolderItems(items);
        if (const std::string* missing = FirstMissingFolder(b.pendingFolders)) {
            const std::string folder(FolderOfEntry(*missing));
            return Refusal{IDS_WARNING, QString::fromStdString(FormatStringId(IDS_FOLDER_NOT_FOUND, folder.c_str())),
                           b.controlId, BalloonIcon::Warning};
        }
        return std::nullopt;
    }
    int value = 0;
    if (auto* picker = qobject_cast<CColourPickerXP*>(b.control)) {
        value = static_cast<int>(picker->GetColor());
    } else if (auto* box = qobject_cast<QAbstractButton*>(b.control)) {
        value = box->isChecked() ? 1 : 0;
    } else if (auto* edit = qobject_cast<QLineEdit*>(b.control)) {
        std::optional<int> typed = ParseBoxInteger(edit->text().toStdString());
        if (!typed)
            return Refusal{IDS_APP_NAME, QString::fromUtf8(kEnterIntegerText), b.controlId, BalloonIcon::Warning};
        if (b.positive && *typed <= 0)
            return Refusal{IDS_WRONG_PARAMETER, QString::fromUtf8(LoadStringId(IDS_MUST_BE_POSITIVE)), b.controlId,
                           BalloonIcon::Error};
        value = *typed;
    } else if (auto* slider = qobject_cast<QAbstractSlider*>(b.control)) {
        value = slider->value();
    } else if (auto* combo = qobject_cast<QComboBox*>(b.control)) {
        value = combo->currentIndex();
    }
    b.pendingValue = b.adjust ? b.adjust(value) : value;
    return std::nullopt;
}

std::optional<Refusal> PageBinding::Save(CSaverSettings& s)
{
    // The values first, then the folders: a bad number is told before the
    // disk is searched for a missing folder.
    for (bool folders : {false, true})
        for (Bound& b : bound_)
            if ((b.row->kind == SettingRow::Kind::Folders) == folders)
                if (std::optional<Refusal> refusal = Read(b))
                    return refusal;
    for (const auto& check : checks_)
        if (std::optional<Refusal> refusal = check())
            return refusal;
    for (const Bound& b : bound_) {
        if (b.row->kind == SettingRow::Kind::Folders)
            s.*b.row->folders = b.pendingFolders;
        else
            s.*b.row->integer = b.pendingValue;
    }
    for (const auto& store : stores_)
        store(s);
    return std::nullopt;
}
