#include "platform/MessageBoxPresenter.h"
#include "settings/MB_Daten.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QDir>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Kavelo"));
    MessageBoxPresenter presenter;
    SetMessagePresenter(&presenter);

    ProgramFolder = QDir::toNativeSeparators(QApplication::applicationDirPath() + QLatin1Char('/'));
    DataFolder = ProgramFolder;
    InitSettings();

    QLabel window(QStringLiteral("Kavelo"));
    window.resize(790, 570);
    window.show();
    return QApplication::exec();
}
