#include "dialogs/SettingsFields.h"

#include "dialogs/NumberField.h"
#include "settings/AnsiText.h"

#include <algorithm>
#include <span>
#include <variant>

namespace {

using R = TEinstellRecord;

Word unlimited(Word value)
{
    return value;
}

Word maxVersionsLimit(Word value)
{
    return std::clamp<Word>(value, 2, 60000);
}

Word refreshLimit(Word value)
{
    return value > 1000 ? 0 : value;
}

struct TextControl {
    const char* edit;
    Text R::*field;
};

struct NumberControl {
    const char* edit;
    Word R::*field;
    EmptyField empty;
    Word (*limit)(Word);
};

struct FlagControl {
    const char* box;
    Word R::*field;
};

struct ChoiceControl {
    const char* group;
    Word R::*field;
};

using Control = std::variant<TextControl, NumberControl, FlagControl, ChoiceControl>;

// Who may have a step taken over; the rights are read from the record.
enum class Right { AnyRole, UserOptions, Addresses, Administrator };

struct Step {
    Right right;
    std::span<const Control> controls;
};

constexpr Control kPages[] = {
    TextControl{"Edit6", &R::HomePage},
    TextControl{"Edit7", &R::SearchPage},
};

constexpr Control kFolders[] = {
    TextControl{"Edit19", &R::DownloadFolder1},
    TextControl{"Edit23", &R::DownloadFolder2},
};

constexpr Control kRefresh[] = {
    NumberControl{"Edit32", &R::RefreshMinutes, EmptyField::Zero, refreshLimit},
};

constexpr Control kAddresses[] = {
    TextControl{"Edit8", &R::WebAddress1Url},          TextControl{"Edit9", &R::WebAddress1Name},
    TextControl{"Edit10", &R::WebAddress2Url},         TextControl{"Edit11", &R::WebAddress2Name},
    TextControl{"Edit12", &R::Download1Url},           TextControl{"Edit13", &R::Download1Name},
    TextControl{"Edit14", &R::Download1Target},        TextControl{"Edit15", &R::Download2Url},
    TextControl{"Edit16", &R::Download2Name},          TextControl{"Edit17", &R::Download2Target},
    TextControl{"Edit24", &R::Download3Url},           TextControl{"Edit25", &R::Download3Name},
    TextControl{"Edit26", &R::Download3Target},        TextControl{"Edit27", &R::Download4Url},
    TextControl{"Edit28", &R::Download4Name},          TextControl{"Edit29", &R::Download4Target},
    ChoiceControl{"RadioGroup1", &R::Download1Suffix}, ChoiceControl{"RadioGroup2", &R::Download2Suffix},
    ChoiceControl{"RadioGroup3", &R::Download3Suffix}, ChoiceControl{"RadioGroup4", &R::Download4Suffix},
};

constexpr Control kAdministrator[] = {
    FlagControl{"CheckBox1", &R::SilentMode},
    NumberControl{"Edit5", &R::AutoEndSeconds, EmptyField::Zero, unlimited},
    NumberControl{"Edit18", &R::DownloadAttempts, EmptyField::Zero, unlimited},
    FlagControl{"CheckBox2", &R::MaySurf},
    FlagControl{"CheckBox3", &R::MaySearch},
    FlagControl{"CheckBox4", &R::MayChangeUserOptions},
    FlagControl{"CheckBox5", &R::MayChangeAddresses},
    FlagControl{"CheckBox6", &R::RedirectDownloads},
    NumberControl{"Edit20", &R::Download1Counter, EmptyField::NotANumber, unlimited},
    NumberControl{"Edit21", &R::Download2Counter, EmptyField::NotANumber, unlimited},
    NumberControl{"Edit33", &R::Download3Counter, EmptyField::NotANumber, unlimited},
    NumberControl{"Edit34", &R::Download4Counter, EmptyField::NotANumber, unlimited},
    NumberControl{"Edit22", &R::MaxVersions, EmptyField::NotANumber, maxVersionsLimit},
    ChoiceControl{"RadioGroup5", &R::WindowMode},
    NumberControl{"Edit30", &R::WindowWidth, EmptyField::NotANumber, windowWidthLimit},
    NumberControl{"Edit31", &R::WindowHeight, EmptyField::NotANumber, windowHeightLimit},
};

// The take-over of "Beenden" in its order; together the steps hold every
// control that shows a field of the record.
constexpr Step kSteps[] = {
    {Right::Addresses, kPages},     {Right::UserOptions, kFolders},         {Right::AnyRole, kRefresh},
    {Right::Addresses, kAddresses}, {Right::Administrator, kAdministrator},
};

bool allowed(Right right, LoginRoles roles, const TEinstellRecord& record)
{
    switch (right) {
    case Right::AnyRole:
        return roles.admin || roles.user;
    case Right::UserOptions:
        return roles.admin || (roles.user && record.MayChangeUserOptions == 1);
    case Right::Addresses:
        return roles.admin || (roles.user && record.MayChangeAddresses == 1);
    case Right::Administrator:
        return roles.admin;
    }
    return false;
}

struct Show {
    const TEinstellRecord& record;
    SettingsControls& controls;

    void operator()(const TextControl& c) const { controls.setText(c.edit, textToString(record.*c.field)); }
    void operator()(const NumberControl& c) const { controls.setText(c.edit, QString::number(record.*c.field)); }
    void operator()(const FlagControl& c) const { controls.setChecked(c.box, record.*c.field == 1); }
    void operator()(const ChoiceControl& c) const { controls.setItemIndex(c.group, record.*c.field); }
};

// Takes one control over; false when its text is no number.
struct TakeOver {
    const SettingsControls& controls;
    TEinstellRecord& record;

    bool operator()(const TextControl& c) const
    {
        stringToText(record.*c.field, controls.text(c.edit));
        return true;
    }
    bool operator()(const NumberControl& c) const
    {
        const std::optional<Word> value = fieldNumber(controls.text(c.edit), c.empty);
        if (!value)
            return false;
        record.*c.field = c.limit(*value);
        return true;
    }
    bool operator()(const FlagControl& c) const
    {
        record.*c.field = controls.isChecked(c.box) ? 1 : 0;
        return true;
    }
    bool operator()(const ChoiceControl& c) const
    {
        const int index = controls.itemIndex(c.group);
        if (index >= 0)
            record.*c.field = static_cast<Word>(index);
        return true;
    }
};

const char* nameOf(const Control& control)
{
    return std::visit(
        [](const auto& c) -> const char* {
            if constexpr (requires { c.edit; })
                return c.edit;
            else if constexpr (requires { c.box; })
                return c.box;
            else
                return c.group;
        },
        control);
}

}  // namespace

Word windowWidthLimit(Word value)
{
    return value > 3000 ? 790 : value;
}

Word windowHeightLimit(Word value)
{
    return value > 2000 ? 570 : value;
}

void recordToControls(const TEinstellRecord& record, SettingsControls& controls)
{
    for (const Step& step : kSteps)
        for (const Control& control : step.controls)
            std::visit(Show{record, controls}, control);
}

std::optional<QString> controlsToRecord(const SettingsControls& controls, LoginRoles roles, TEinstellRecord& record)
{
    // The steps work on a copy, which replaces the record only when every
    // field has been taken over; the rights come from the record as it was.
    TEinstellRecord changed = record;
    for (const Step& step : kSteps) {
        if (!allowed(step.right, roles, record))
            continue;
        for (const Control& control : step.controls)
            if (!std::visit(TakeOver{controls, changed}, control))
                return controls.text(nameOf(control));
    }
    record = changed;
    return std::nullopt;
}

bool finishTakesOver(LoginRoles roles, const TEinstellRecord& record)
{
    return allowed(Right::UserOptions, roles, record) || allowed(Right::Addresses, roles, record);
}

std::vector<ControlState> controlStates(bool adminLoggedIn, const TEinstellRecord& record)
{
    const bool userOptions = adminLoggedIn || record.MayChangeUserOptions == 1;
    const bool addresses = adminLoggedIn || record.MayChangeAddresses == 1;

    std::vector<ControlState> states;
    const auto add = [&states](std::span<const Control> controls, bool enabled) {
        for (const Control& control : controls)
            states.push_back({nameOf(control), enabled});
    };
    add(kAdministrator, adminLoggedIn);
    add(kPages, addresses);
    add(kAddresses, addresses);
    add(kFolders, true);
    add(kRefresh, true);
    // The controls that show no field: the password groups and the buttons.
    for (const char* name : {"Edit1", "Edit2", "BitBtn3"})
        states.push_back({name, adminLoggedIn});
    for (const char* name : {"Edit3", "Edit4", "BitBtn4", "BitBtn5"})
        states.push_back({name, userOptions});
    for (const char* name : {"BitBtn1", "BitBtn2"})
        states.push_back({name, true});
    return states;
}
