#include "settings/Passwords.h"

#include "platform/host/Messages.h"
#include "settings/AnsiText.h"
#include "settings/Defaults.h"
#include "settings/MB_Daten.h"

namespace {

constexpr int kMinimumLength = 4;

QByteArray shifted(const QByteArray& bytes, bool scramble, auto offsetAt)
{
    QByteArray result = bytes;
    for (int i = 0; i < result.size(); ++i) {
        const int offset = offsetAt(i + 1);
        const int code = static_cast<unsigned char>(result[i]) + (scramble ? offset : -offset);
        result[i] = static_cast<char>(code & 0xFF);
    }
    return result;
}

auto adminOffset = [](int position) { return position + 6; };
auto userOffset = [](int) { return 5; };

QString errorText(const char* role)
{
    return QStringLiteral(
               "Passwort und Wiederholung\rmüssen exakt übereinstimmen\r"
               "und mind. 4 Zeichen lang sein!\r\rZum Festlegen des %1-\r"
               "Passwortes bitte wiederholen!")
        .arg(QLatin1String(role));
}

// The new password as it will be stored, or nothing after the error box.
std::optional<QByteArray> acceptedPassword(const PasswordFields& fields, const char* role)
{
    std::optional<QByteArray> bytes = encodeAnsiExact(fields.password);
    if (fields.password != fields.repeat || fields.password.size() < kMinimumLength || !bytes
        || bytes->size() > kMaxTextLength) {
        showMessage(MessageKind::Error, errorText(role));
        return std::nullopt;
    }
    return bytes;
}

void refill(PasswordFields& fields)
{
    fields.password = kPasswordFiller;
    fields.repeat = kRepeatFiller;
}

}  // namespace

void scrambleAdminPassword(Text& stored, const QByteArray& plain)
{
    setTextBytes(stored, shifted(plain.left(kMaxTextLength), true, adminOffset));
}

void scrambleUserPassword(Text& stored, const QByteArray& plain)
{
    setTextBytes(stored, shifted(plain.left(kMaxTextLength), true, userOffset));
}

QByteArray unscrambleAdminPassword(const Text& stored)
{
    return shifted(textBytes(stored), false, adminOffset);
}

QByteArray unscrambleUserPassword(const Text& stored)
{
    return shifted(textBytes(stored), false, userOffset);
}

void storeDefaultPasswords(TEinstellRecord& record)
{
    scrambleAdminPassword(record.AdminPasswordStored, encodeAnsi(kBuiltInAdminPassword));
    scrambleUserPassword(record.UserPasswordStored, QByteArrayLiteral("nutzer"));
}

void derivePlainPasswords(const TEinstellRecord& record)
{
    AdminPassword = decodeAnsi(unscrambleAdminPassword(record.AdminPasswordStored));
    UserPassword = decodeAnsi(unscrambleUserPassword(record.UserPasswordStored));
}

void changeAdminPassword(PasswordFields& fields, bool adminLoggedIn, TEinstellRecord& record)
{
    if (adminLoggedIn) {
        if (const auto bytes = acceptedPassword(fields, "Administrator")) {
            AdminPassword = fields.password;
            scrambleAdminPassword(record.AdminPasswordStored, *bytes);
        }
    }
    refill(fields);
}

void changeUserPassword(PasswordFields& fields, bool adminLoggedIn, bool userLoggedIn, TEinstellRecord& record)
{
    if (adminLoggedIn || (userLoggedIn && record.MayChangeUserOptions == 1)) {
        if (const auto bytes = acceptedPassword(fields, "Nutzer")) {
            UserPassword = fields.password;
            scrambleUserPassword(record.UserPasswordStored, *bytes);
        }
    }
    refill(fields);
}
