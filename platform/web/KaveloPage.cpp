#include "platform/web/KaveloPage.h"

#include "platform/web/PageDownloads.h"
#include "platform/web/PageRules.h"
#include "platform/web/UploadChooser.h"
#include "widgets/IdleWatch.h"

#include <QCoreApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QWebEngineLoadingInfo>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>
#include <utility>

namespace {

// A page that opens its dialogs this soon after the one before is flooding.
constexpr qint64 kQuickDialogMs = 1000;
// How many such dialogs in a row it gets to show.
constexpr int kQuickDialogsShown = 3;
// Questions about downloads a page gets per page load.
constexpr int kDownloadQuestions = 3;
// A page's message is cut to this many characters.
constexpr qsizetype kMessageLength = 1000;

QString pageMessage(const QUrl& origin, const QString& message)
{
    return QStringLiteral("Die Seite %1 meldet:\n\n%2")
        .arg(origin.toDisplayString(QUrl::RemovePath | QUrl::RemoveUserInfo), message.left(kMessageLength));
}

// A box whose text is the page's, shown as plain text whatever markup it holds.
void SetUp(QMessageBox& box, const QString& title, const QString& text)
{
    box.setObjectName(QStringLiteral("PageDialog"));
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
}

bool isProgramPage(const QUrl& url)
{
    return url.scheme() == QStringLiteral("qrc");
}

// Pictures, scripts and styles of the program's own pages come from those
// pages alone; a web page gets none of them.
class ProgramPagesGuard : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        const bool frame = info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame
                           || info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeSubFrame;
        if (!frame && isProgramPage(info.requestUrl()) && !isProgramPage(info.firstPartyUrl()))
            info.block(true);
    }
};

}  // namespace

KaveloPage::KaveloPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent)
{
    setUrlRequestInterceptor(new ProgramPagesGuard(this));
    // mailto:, tel: and other schemes the engine does not load never start a program outside.
    settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    connect(this, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
            quickDialogs = 0;
            sinceDialogClosed.invalidate();
        } else {
            programNavigation = false;
            if (info.status() != QWebEngineLoadingInfo::LoadStoppedStatus)
                downloadQuestions = 0;
        }
    });
}

void KaveloPage::takeRulesOf(const KaveloPage& other)
{
    surfing = other.surfing;
    configuredFolders = other.configuredFolders;
    excludedFolders = other.excludedFolders;
}

bool KaveloPage::takeDownloadQuestion()
{
    if (downloadQuestions >= kDownloadQuestions)
        return false;
    ++downloadQuestions;
    return true;
}

void KaveloPage::setUploadFolders(const QStringList& folders, const QStringList& excluded)
{
    configuredFolders = folders;
    excludedFolders = excluded;
}

QString KaveloPage::leavePageQuestion()
{
    return QCoreApplication::translate(
        "QWebEnginePage", "Are you sure you want to leave this page? Changes that you made may not be saved.");
}

// Only the program's own loads reach its pages: no link, redirect, frame or
// history step of a web page does. The engine's own pages (its PDF viewer, a
// redirect may lead there) are nobody's to open.
bool KaveloPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    static const QStringList engineSchemes{QStringLiteral("chrome"), QStringLiteral("chrome-extension"),
                                           QStringLiteral("devtools")};
    if (engineSchemes.contains(url.scheme()))
        return false;
    // The program's load is the next main-frame request, or none: a load that
    // never came (a step back the visitor stayed from) opens nothing later.
    const QUrl programs = isMainFrame ? std::exchange(programAddress, QUrl()) : QUrl();
    if (!isProgramPage(url))
        return true;
    if (isMainFrame)
        return type != NavigationTypeRedirect && url == programs;
    return isProgramPage(this->url());
}

void KaveloPage::programNavigates()
{
    programNavigation = true;
    if (openDialog) {
        closedByProgram = true;
        openDialog->reject();
    }
}

QWidget* KaveloPage::owner() const
{
    const QWebEngineView* view = QWebEngineView::forPage(this);
    return view ? view->window() : nullptr;
}

bool KaveloPage::mayShowDialog()
{
    if (!surfing || programNavigation || buttonDownloadRunning())
        return false;
    const bool quick = sinceDialogClosed.isValid() && sinceDialogClosed.elapsed() < kQuickDialogMs;
    quickDialogs = quick ? quickDialogs + 1 : 0;
    if (quickDialogs < kQuickDialogsShown)
        return true;
    sinceDialogClosed.start();  // a page that keeps asking stays quiet
    return false;
}

bool KaveloPage::showDialog(QDialog& dialog)
{
    openDialog = &dialog;
    closedByProgram = false;
    ++engineCallsWaiting;
    execWatched(dialog);
    --engineCallsWaiting;
    openDialog = nullptr;
    sinceDialogClosed.start();
    return !closedByProgram;
}

QStringList KaveloPage::chooseFiles(FileSelectionMode mode, const QStringList&, const QStringList&)
{
    if (!surfing || buttonDownloadRunning() || (mode != FileSelectOpen && mode != FileSelectOpenMultiple))
        return {};
    UploadChooser chooser(uploadFolders(QStringList{pageDownloadFolder()} + configuredFolders, excludedFolders),
                          mode == FileSelectOpenMultiple, owner());
    const bool chosen = showDialog(chooser) && chooser.result() == QDialog::Accepted;
    return chosen ? chooser.chosenFiles() : QStringList();
}

void KaveloPage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg)
{
    if (!mayShowDialog())
        return;
    QMessageBox box(owner());
    SetUp(box, QStringLiteral("Meldung der Webseite"), pageMessage(securityOrigin, msg));
    box.setIcon(QMessageBox::Information);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    showDialog(box);
}

bool KaveloPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg)
{
    if (msg == leavePageQuestion()) {
        // The program's own navigation leaves without asking; a page's own
        // questions count with its other dialogs, so that one which keeps
        // asking is left after a few.
        if (!mayShowDialog())
            return true;
        QMessageBox box(owner());
        SetUp(box, QStringLiteral("Seite verlassen?"),
              QStringLiteral("Möchten Sie diese Seite verlassen?\n"
                             "Ihre Eingaben auf der Seite werden möglicherweise nicht gespeichert."));
        box.setIcon(QMessageBox::Question);
        QPushButton* leave = box.addButton(QStringLiteral("Verlassen"), QMessageBox::AcceptRole);
        box.setDefaultButton(leave);
        box.setEscapeButton(box.addButton(QStringLiteral("Bleiben"), QMessageBox::RejectRole));
        const bool leaves = !showDialog(box) || box.clickedButton() == leave;
        if (!leaves)
            programAddress.clear();  // the program's load it asked about does not come
        return leaves;
    }
    if (!mayShowDialog())
        return false;
    QMessageBox box(owner());
    SetUp(box, QStringLiteral("Frage der Webseite"), pageMessage(securityOrigin, msg));
    box.setIcon(QMessageBox::Question);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole));
    return showDialog(box) && box.clickedButton() == ok;
}

bool KaveloPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                                  QString* result)
{
    if (!mayShowDialog())
        return false;
    QInputDialog input(owner());
    input.setObjectName(QStringLiteral("PageDialog"));
    const QString title = QStringLiteral("Eingabe für die Webseite");
    input.setWindowTitle(title);
    // Wide enough for its title beside the title bar's buttons.
    constexpr int kTitleBarButtons = 120;
    input.setMinimumWidth(input.fontMetrics().horizontalAdvance(title) + kTitleBarButtons);
    input.setLabelText(pageMessage(securityOrigin, msg));
    if (auto* label = input.findChild<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    input.setTextValue(defaultValue);
    input.setOkButtonText(QStringLiteral("OK"));
    input.setCancelButtonText(QStringLiteral("Abbrechen"));
    if (!showDialog(input) || input.result() != QDialog::Accepted)
        return false;
    *result = input.textValue();
    return true;
}
