#pragma once

// Built-in defaults of the settings record and the two resets behind the
// settings dialog's "Standard" button.

#include "settings/EinstellRecord.h"

#include <QString>

// The default home page: a German welcome page in the program's resources,
// in the form the browser view reports for it.
inline const QString kWelcomePage = QStringLiteral("qrc:/willkommen/willkommen.html");

// The administrator password the program is shipped with.
inline const QString kBuiltInAdminPassword = QStringLiteral("Kavelo-Chef");

// Sets the fields of the record to their defaults. RefreshMinutes,
// WindowMode, WindowWidth and WindowHeight are left as they are. The folders
// and targets in the running user's home are kept as "~/…", so that settings
// saved by one person (an administrator's preset) serve every other.
void SetDefaults(TEinstellRecord& record);

// A folder or target as a settings field names it: a leading "~/" stands for
// the running user's home folder; any other path stays as it is.
QString homeResolved(const QString& path);

// After a confirmation, all defaults; the two passwords stay valid either way.
void ResetAllOptions(TEinstellRecord& record);

// After a confirmation, home page, search page and download folder 1 from standard.
void ResetUserOptions(TEinstellRecord& record, const TEinstellRecord& standard);
