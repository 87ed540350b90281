#pragma once

// Built-in defaults of the settings record and the two resets behind the
// settings dialog's "Standard" button.

// Sets the fields of EinstellDaten to their defaults. RefreshMinutes,
// WindowMode, WindowWidth and WindowHeight are left as they are.
void SetDefaults();

// After a confirmation, all defaults; the two passwords stay valid either way.
void ResetAllOptions();

// After a confirmation, home page, search page and download folder 1 from StandardDaten.
void ResetUserOptions();
