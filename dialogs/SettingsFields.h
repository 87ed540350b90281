#pragma once

// The settings dialog without its widgets: which control shows which field of
// the record, which controls the role and the user rights enable, and how
// "Beenden" takes the controls over into the record.

#include "settings/EinstellRecord.h"

#include <QString>
#include <optional>
#include <vector>

// Who passed the password prompt at the current opening of the settings.
struct LoginRoles {
    bool admin = false;
    bool user = false;
};

// The dialog's controls, addressed by object name.
class SettingsControls {
public:
    virtual ~SettingsControls() = default;
    virtual QString text(const char* edit) const = 0;
    virtual void setText(const char* edit, const QString& text) = 0;
    virtual bool isChecked(const char* box) const = 0;
    virtual void setChecked(const char* box, bool checked) = 0;
    // -1 when no item is chosen; an index outside the items chooses none.
    virtual int itemIndex(const char* group) const = 0;
    virtual void setItemIndex(const char* group, int index) = 0;
};

// Every field into its control: texts unchanged, numbers in decimal, a box
// ticked exactly when its flag holds 1, a choice group's item from its field.
// The password fields are not among them.
void recordToControls(const TEinstellRecord& record, SettingsControls& controls);

// The take-over of "Beenden", step by step as far as the role and the rights
// (as the record holds them before the take-over) allow: home and search page,
// the download folders, the refresh minutes, addresses and downloads, then the
// administrator's options. Texts keep their first 255 characters; numbers are
// limited as each field demands. A choice group without a chosen item leaves
// its field as it is. All or nothing: at the first number field whose text is
// no number the record stays unchanged, and that text is returned.
std::optional<QString> controlsToRecord(const SettingsControls& controls, LoginRoles roles, TEinstellRecord& record);

// The fixed window size as the dialog takes it over: a width above 3000 gives
// 790, a height above 2000 gives 570. Sizes read from the file get the same.
Word windowWidthLimit(Word value);
Word windowHeightLimit(Word value);

// "Beenden" takes over and saves for the administrator and for a logged-in
// user who may change the user options or the addresses and downloads.
bool finishTakesOver(LoginRoles roles, const TEinstellRecord& record);

struct ControlState {
    const char* control;
    bool enabled;
};

// The enabled state of every control that the rights govern, from the
// administrator's login and the user rights as the record holds them; the
// user rights apply whether or not a user is logged in.
std::vector<ControlState> controlStates(bool adminLoggedIn, const TEinstellRecord& record);
