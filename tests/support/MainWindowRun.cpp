#include "support/MainWindowRun.h"

#include "dialogs/EinstellDialog.h"
#include "dialogs/InfoDialog.h"
#include "dialogs/about.h"
#include "dialogs/passwort.h"
#include "settings/Defaults.h"
#include "settings/MB_Daten.h"

#include <QAbstractButton>
#include <QtTest>

MainWindowRun::MainWindowRun()
{
    SetDefaults(settings);
    settings.HomePage.length = 0;
    settings.RedirectDownloads = 0;
}

MainWindowRun::~MainWindowRun() = default;

TKaveloMainForm& MainWindowRun::start(const QStringList& arguments, bool show)
{
    form.reset();
    folder.writeSettings(settings);
    const QString programFolder = ProgramFolder;
    form = std::make_unique<TKaveloMainForm>(programFolder, arguments);
    auto* about = new TAboutForm(form.get());
    auto* einstell = new TEinstellForm(form.get());
    new TInfoDlg(form.get());
    auto* password = new TPasswordDlg(form.get());
    form->setDialogs({about, einstell, password});
    if (show) {
        form->show();
        QCoreApplication::processEvents();
    }
    return *form;
}

void MainWindowRun::click(const char* name) const
{
    QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton);
}

QString MainWindowRun::lastBox() const
{
    return boxes.messages.isEmpty() ? QString() : boxes.messages.last().text;
}

void MainWindowRun::missing(const char* name)
{
    qFatal("no control %s", name);
}
