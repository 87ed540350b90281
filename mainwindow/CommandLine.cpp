#include "mainwindow/CommandLine.h"

#include "mainwindow/AsciiText.h"

#include <algorithm>

QList<Keyword> parseCommandLine(const QStringList& arguments)
{
    static const QList<std::pair<QString, Keyword>> exact = {
        {QStringLiteral("1"), Keyword::Download1},  {QStringLiteral("2"), Keyword::Download2},
        {QStringLiteral("3"), Keyword::Download3},  {QStringLiteral("4"), Keyword::Download4},
        {QStringLiteral("0"), Keyword::ViewerOnly},
    };
    QList<Keyword> found;
    for (const QString& argument : arguments) {
        if (asciiUpper(argument) == QLatin1String("AUTOSTOP"))
            found.append(Keyword::Autostop);
        for (const auto& [word, keyword] : exact) {
            if (argument == word)
                found.append(keyword);
        }
    }
    return found;
}

bool endsAfterDownloads(const QList<Keyword>& keywords)
{
    return std::any_of(keywords.begin(), keywords.end(), [](Keyword keyword) {
        return keyword == Keyword::Download1 || keyword == Keyword::Download2 || keyword == Keyword::Download3
               || keyword == Keyword::Download4;
    });
}

bool takeVerboseSwitch(QStringList& arguments)
{
    return arguments.removeAll(QStringLiteral("--verbose")) > 0;
}

QString informationText(const QStringList& arguments)
{
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--version"))
            return QStringLiteral("Kavelo " KAVELO_VERSION "\n");
        if (argument == QLatin1String("--help"))
            return QStringLiteral(
                "Aufruf: kavelo [SCHLÜSSELWORT …]\n"
                "Kavelo – der MiniBrowser: Internetseiten ansehen und Dateien herunterladen.\n"
                "\n"
                "Schlüsselwörter (beliebig kombinierbar):\n"
                "  0          nur die Startseite anzeigen und regelmäßig neu laden (Kiosk)\n"
                "  1 … 4      Download 1 … 4 automatisch holen, danach beenden\n"
                "  autostop   nach der eingestellten Zeit beenden (sonst nach 24 Stunden)\n"
                "  --help     diese Hilfe zeigen\n"
                "  --version  die Version zeigen\n"
                "  --verbose  auch die Meldungen von Qt und der Web-Engine ausgeben\n"
                "\n"
                "Einstellungen als Text (ohne Bildschirm; „-“ ist die Standardaus- oder -eingabe):\n"
                "  --export-settings DATEI\n"
                "             die Einstellungen, die ein Lauf liest, als Zeilen Name=Wert in DATEI schreiben\n"
                "  --import-settings DATEI [ZIEL]\n"
                "             die Zeilen aus DATEI in die Einstellungs-Datei ZIEL übernehmen (ohne ZIEL:\n"
                "             die eigene Einstell.DAT); nicht genannte Felder bleiben, wie sie sind\n"
                "\n"
                "Rückgabewert:\n"
                "  0          normales Ende; mit 1 … 4: jeder verlangte Download ist gelungen\n"
                "  1          ein verlangter Download ist nicht gelaufen oder misslungen;\n"
                "             eine Datei ließ sich nicht lesen oder schreiben\n"
                "  2          kein Bildschirm für das Fenster da (ohne laufen nur 1 … 4);\n"
                "             eine Zeile des Textes ist fehlerhaft (nichts geändert)\n"
                "  128+n      durch das Signal n beendet (SIGHUP 129, SIGINT 130, SIGTERM 143)\n"
                "\n"
                "Mehr in „man kavelo“.\n");
    }
    return {};
}

SettingsTextCommand settingsTextCommand(const QStringList& arguments)
{
    const QString exportOption = QStringLiteral("--export-settings");
    const QString importOption = QStringLiteral("--import-settings");
    if (!arguments.contains(exportOption) && !arguments.contains(importOption))
        return {};
    SettingsTextCommand command;
    const bool importing = arguments.first() == importOption;
    const qsizetype files = arguments.size() - 1;
    if (arguments.first() == exportOption && files == 1)
        command.kind = SettingsTextCommand::Kind::Export;
    else if (importing && (files == 1 || files == 2))
        command.kind = SettingsTextCommand::Kind::Import;
    else
        return {SettingsTextCommand::Kind::Misused, {}, {}};
    command.file = arguments[1];
    if (importing)
        command.target = arguments.value(2);
    return command;
}

QString settingsTextUsage()
{
    return QStringLiteral("Aufruf: kavelo --export-settings DATEI oder kavelo --import-settings DATEI [ZIEL]");
}
