#pragma once

// The pictures of the buttons and the program icon, compiled into the program.
//
// Names: "back", "forward" (24 x 24); "stop", "reload", "home", "search",
// "address", "web1", "web2", "settings", "about", "download1" to "download4",
// "copy" (the main window); "finish", "cancel", "defaults", "password" (the
// settings dialog); all 16 x 16; "app", the program icon (32 x 32).
// The icon's Disabled mode gives the greyed picture of a disabled button.

#include <QIcon>
#include <QString>

// A null icon for a name without a picture.
QIcon glyph(const QString& name);
