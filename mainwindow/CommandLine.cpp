#include "mainwindow/CommandLine.h"

#include "mainwindow/AsciiText.h"

QList<Keyword> ParseCommandLine(const QStringList& arguments)
{
    static const QList<std::pair<QString, Keyword>> exact = {
        {QStringLiteral("1"), Keyword::Download1},  {QStringLiteral("2"), Keyword::Download2},
        {QStringLiteral("3"), Keyword::Download3},  {QStringLiteral("4"), Keyword::Download4},
        {QStringLiteral("0"), Keyword::ViewerOnly},
    };
    QList<Keyword> found;
    for (const QString& argument : arguments) {
        if (AsciiUpper(argument) == QLatin1String("AUTOSTOP"))
            found.append(Keyword::Autostop);
        for (const auto& [word, keyword] : exact) {
            if (argument == word)
                found.append(keyword);
        }
    }
    return found;
}
