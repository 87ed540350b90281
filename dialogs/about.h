#pragma once

// The about dialog: product line, version and the maker's contact block.
// Created once and hidden between showings; centred on its parent each time
// it is shown. "OK" closes it with result 1, the close box (or Escape) with 2.

#include "dialogs/OnDemandDialog.h"

#include <QRect>

// The dialog's controls, in the order they are built, each in its frame (none:
// the dialog itself) at its place; a label with an empty size is as large as its text.
struct AboutControl {
    enum class Kind { Frame, Label, LargeLabel, Title, Picture, Button };
    const char* name;
    const char* parent;
    QRect place;
    const char* text;  // UTF-8
    Kind kind;
};

inline constexpr AboutControl kAboutControls[] = {
    {"GroupBox1", nullptr, {8, 8, 385, 305}, "© Kavelo-Soft, Musterstadt", AboutControl::Kind::Frame},
    {"Label8", "GroupBox1", {160, 16, 128, 24}, "Kavelo-Soft", AboutControl::Kind::LargeLabel},
    {"Image1", "GroupBox1", {56, 48, 41, 41}, "", AboutControl::Kind::Picture},
    {"Label3", "GroupBox1", {128, 48, 187, 36}, "Kavelo V. 1.x.", AboutControl::Kind::Title},
    {"Label1", "GroupBox1", {104, 96, 261, 24}, "Mini-Browser und -Downloader", AboutControl::Kind::LargeLabel},
    // The contact block: captions at the left, their values beside; the postal
    // address continues under the maker's name, its last row further left.
    {"Label2", "GroupBox1", {8, 192, 0, 0}, "Autor:", AboutControl::Kind::Label},
    {"Label4", "GroupBox1", {56, 192, 0, 0}, "Erika Mustermann", AboutControl::Kind::Label},
    {"Label5", "GroupBox1", {8, 208, 0, 0}, "Kontakt: ", AboutControl::Kind::Label},
    {"Label6", "GroupBox1", {56, 208, 0, 0}, "Kavelo-Soft", AboutControl::Kind::Label},
    {"Label7", "GroupBox1", {56, 224, 0, 0}, "Musterweg 12", AboutControl::Kind::Label},
    {"Label9", "GroupBox1", {24, 240, 0, 0}, "D-12345 Musterstadt", AboutControl::Kind::Label},
    {"Label10", "GroupBox1", {192, 208, 0, 0}, "Tel.:", AboutControl::Kind::Label},
    {"Label11", "GroupBox1", {224, 208, 0, 0}, "0123 / 45 67 89", AboutControl::Kind::Label},
    {"Label12", "GroupBox1", {192, 224, 0, 0}, "FAX:", AboutControl::Kind::Label},
    {"Label13", "GroupBox1", {224, 224, 0, 0}, "0123 / 45 67 90", AboutControl::Kind::Label},
    {"Label14", "GroupBox1", {8, 264, 0, 0}, "Web: ", AboutControl::Kind::Label},
    {"Label15", "GroupBox1", {56, 264, 0, 0}, "www.example.com", AboutControl::Kind::Label},
    {"Label16", "GroupBox1", {8, 280, 0, 0}, "eMail: ", AboutControl::Kind::Label},
    {"Label17", "GroupBox1", {56, 280, 0, 0}, "info@example.com", AboutControl::Kind::Label},
    {"GroupBox2", nullptr, {8, 320, 201, 41}, "Versions-Info", AboutControl::Kind::Frame},
    {"Label20", "GroupBox2", {8, 16, 0, 0}, "Version 1.3.a    vom: Oktober 2010", AboutControl::Kind::Label},
    {"Button1", nullptr, {288, 328, 75, 25}, "OK", AboutControl::Kind::Button},
};

class TAboutForm : public OnDemandDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);

    void reject() override;

protected:
    void createControls() override;

private slots:
    void Button1Click();
};
