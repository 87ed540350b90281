#pragma once

// The main window's controls above the status line, in tab order: the glyph
// buttons, the address box and the page's frame. For each, where it stands in
// the designed client area and how it follows a resize of the window, and the
// name a screen reader says for it; for a button also its picture, caption and
// hint. The window is built from it.

#include "widgets/AnchorLayout.h"

#include <QRect>
#include <QSize>

// The client area above the status bar, as designed.
inline constexpr QSize kDesignArea(774, 514);

struct MainControl {
    const char* name;     // the object name
    QRect rect;           // in the designed client area
    int anchors;          // AnchorLayout::Anchor values
    const char* glyph;    // a button's picture; none for the address box and the page's frame
    const char* caption;  // UTF-8; "???" where the settings give the caption
    const char* hint;     // UTF-8; tool tip and status tip
    // UTF-8, distinct for every control; it holds the caption, "%1" where the
    // settings give it. The page's frame gives it to the page.
    const char* spoken;
};

namespace mainControls {
inline constexpr int kTopLeft = AnchorLayout::Left | AnchorLayout::Top;
inline constexpr int kTopRight = AnchorLayout::Top | AnchorLayout::Right;
inline constexpr const char* kDownloadHint = "programminterner Download";
inline constexpr const char* kWebAddressHint = "programminterne Web-Adresse (Favorit / Bookmark / Link) ansteuern";
}  // namespace mainControls

inline constexpr MainControl kMainControls[] = {
    {"BitBtn1",
     {4, 4, 41, 51},
     mainControls::kTopLeft,
     "back",
     "zurück",
     "Surf-Tour einen Schritt (eine Seite) zurück gehen",
     "zurück"},
    {"BitBtn2",
     {44, 4, 41, 51},
     mainControls::kTopLeft,
     "forward",
     "vor",
     "wieder eine Seite in Richtung der letzten Surf-Tour vorwärts gehen",
     "vor"},
    {"BitBtn3",
     {88, 30, 93, 25},
     mainControls::kTopLeft,
     "stop",
     "abbrechen",
     "Laden der Seite abbrechen",
     "Laden abbrechen"},
    {"BitBtn4",
     {88, 4, 93, 25},
     mainControls::kTopLeft,
     "reload",
     "aktualisieren",
     "Laden der Seite nochmals auslösen (bei Stau des Seitenaufbaus)",
     "aktualisieren"},
    {"BitBtn5",
     {184, 4, 81, 25},
     mainControls::kTopLeft,
     "home",
     "Startseite",
     "programminterne Start-Seite (\"home\") aufrufen (alternativ: Startseite des Gatssystems) ",
     "Startseite"},
    {"BitBtn6",
     {184, 30, 81, 25},
     mainControls::kTopLeft,
     "search",
     "suchen",
     "programminterne Suchseite aufrufen (alternativ: Sucheseite des Gastsystems)",
     "suchen"},
    {"ComboBox1",
     {84, 56, 533, 24},
     mainControls::kTopLeft | AnchorLayout::Right,
     nullptr,
     nullptr,
     nullptr,
     "Adresse"},
    {"BitBtn7",
     {4, 56, 81, 25},
     mainControls::kTopLeft,
     "address",
     "Adresse:",
     "bei Anklicken wird die aktuelle Web-Adresse (URL) in die Zwischenablage kopiert",
     "Adresse: in die Zwischenablage"},
    {"Panel1",
     {4, 82, 765, 429},
     AnchorLayout::Left | AnchorLayout::Top | AnchorLayout::Right | AnchorLayout::Bottom,
     nullptr,
     nullptr,
     nullptr,
     "Webseite"},
    {"BitBtn8",
     {672, 30, 97, 25},
     mainControls::kTopRight,
     "settings",
     "Einstellungen",
     "Programmeinstellungen vornehmen",
     "Einstellungen"},
    {"BitBtn9", {744, 56, 25, 25}, mainControls::kTopRight, "about", "", "Informationen zum Programm", "Info"},
    {"BitBtn10",
     {408, 4, 129, 25},
     mainControls::kTopLeft,
     "download1",
     "???",
     mainControls::kDownloadHint,
     "Download 1: %1"},
    {"BitBtn11",
     {408, 30, 129, 25},
     mainControls::kTopLeft,
     "download2",
     "???",
     mainControls::kDownloadHint,
     "Download 2: %1"},
    {"BitBtn12",
     {268, 4, 137, 25},
     mainControls::kTopLeft,
     "web1",
     "???",
     mainControls::kWebAddressHint,
     "Web-Adresse 1: %1"},
    {"BitBtn13",
     {268, 30, 137, 25},
     mainControls::kTopLeft,
     "web2",
     "???",
     mainControls::kWebAddressHint,
     "Web-Adresse 2: %1"},
    {"BitBtn14",
     {616, 56, 121, 25},
     mainControls::kTopRight,
     "copy",
     "Adresse kopieren",
     "kopiert den markierten Teil aus der Web-Seite in die Windows-Zwischenablage",
     "Adresse kopieren: Markierung der Seite"},
    {"BitBtn15",
     {540, 4, 129, 25},
     mainControls::kTopLeft,
     "download3",
     "???",
     mainControls::kDownloadHint,
     "Download 3: %1"},
    {"BitBtn16",
     {540, 30, 129, 25},
     mainControls::kTopLeft,
     "download4",
     "???",
     mainControls::kDownloadHint,
     "Download 4: %1"},
};
