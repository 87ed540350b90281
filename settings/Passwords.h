#pragma once

// The two passwords: their scrambled form in the settings record, the plain
// texts held for the run, and the change rules of the settings dialog's two
// "Passwort ändern" buttons.

#include "settings/EinstellRecord.h"

#include <QByteArray>
#include <QString>

// Administrator: character i (from 1) is stored as code + i + 6; user: code + 5 (mod 256).
void scrambleAdminPassword(Text& stored, const QByteArray& plain);
void scrambleUserPassword(Text& stored, const QByteArray& plain);
QByteArray unscrambleAdminPassword(const Text& stored);
QByteArray unscrambleUserPassword(const Text& stored);

// The built-in passwords, written scrambled into the record.
void storeDefaultPasswords(TEinstellRecord& record);

// AdminPassword and UserPassword from the stored fields of the record.
void derivePlainPasswords(const TEinstellRecord& record);

// The two entry fields of a password group of the settings dialog.
struct PasswordFields {
    QString password;
    QString repeat;
};

// The filler texts that the fields show after every press of the button.
inline const QString kPasswordFiller = QStringLiteral("123456789012345");
inline const QString kRepeatFiller = QStringLiteral("9876543210");

// The change buttons: with the right role, a new password of at least four
// characters typed the same twice (and storable whole) replaces the old one in
// memory (AdminPassword, UserPassword) and in the record; otherwise the
// group's error box. The fields are refilled with the fillers in every case.
void changeAdminPassword(PasswordFields& fields, bool adminLoggedIn, TEinstellRecord& record);
void changeUserPassword(PasswordFields& fields, bool adminLoggedIn, bool userLoggedIn, TEinstellRecord& record);
