#pragma once

// The command-line keywords. Every argument is compared with each keyword in
// turn; every match counts, so keywords combine and a repeated one repeats.

#include <QList>
#include <QStringList>

enum class Keyword { Autostop, Download1, Download2, Download3, Download4, ViewerOnly };

// The matches in the order of the arguments (the program path not included).
// "autostop" ignores the case of ASCII letters; the digits match exactly.
QList<Keyword> parseCommandLine(const QStringList& arguments);

// Whether a run with these keywords ends by itself after its downloads (one
// of 1 … 4 among them): it needs no window, so it runs without a display too.
bool endsAfterDownloads(const QList<Keyword>& keywords);

// Takes every "--verbose" out of arguments, so that the window gets the
// command line as without it; true when there was one. It asks for the full
// log of Qt and the web engine on standard error.
bool takeVerboseSwitch(QStringList& arguments);

// The text that "--help" or "--version" asks for, the first of them that is
// given; empty when neither is. With it the program prints and ends at once.
QString informationText(const QStringList& arguments);

// "--export-settings FILE" and "--import-settings FILE [TARGET]": the settings
// as text (FILE "-" for standard output or input), without a window. Either
// stands first, and alone with its files.
struct SettingsTextCommand {
    enum class Kind {
        None,  // neither option is given
        Export,
        Import,
        Misused,  // an option elsewhere, or with too few or too many files
    };
    Kind kind = Kind::None;
    QString file;
    QString target;  // of an import; empty for where a run saves its settings
};
SettingsTextCommand settingsTextCommand(const QStringList& arguments);

// How the two options are used, for a misuse.
QString settingsTextUsage();
