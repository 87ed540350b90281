// Surfing: the address box with its list of reached addresses, back and
// forward with the program's own count of the surf path, stop, reload, the
// home and search pages lent to the host store for one call, the web-address
// buttons and the two copy buttons.

#include "mainwindow/AsciiText.h"
#include "mainwindow/MB_main.h"
#include "platform/host/Messages.h"
#include "platform/web/BrowserView.h"
#include "platform/web/PageRules.h"
#include "settings/AnsiText.h"
#include "widgets/Clipboard.h"
#include "widgets/GlyphButton.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

void TKaveloMainForm::navigateAndFocus(const QString& address)
{
    WebBrowser1->Navigate(address);
    WebBrowser1->setFocus();
}

// A visitor opens web addresses only, and those set in the settings.
void TKaveloMainForm::openTypedAddress(const QString& text)
{
    const QStringList configured = {textToString(EinstellDaten.HomePage), textToString(EinstellDaten.SearchPage),
                                    textToString(EinstellDaten.WebAddress1Url),
                                    textToString(EinstellDaten.WebAddress2Url)};
    if (mayOpenTypedAddress(text, configured))
        navigateAndFocus(text);
    else
        showMessage(MessageKind::Warning, refusedAddressText(text));
}

// Enter in the address box, whatever the shift state, reaches the window first.
// The view's new children are its page's widget (see placeViewInTabOrder).
bool TKaveloMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == WebBrowser1 && event->type() == QEvent::ChildAdded)
        QMetaObject::invokeMethod(this, &TKaveloMainForm::placeViewInTabOrder, Qt::QueuedConnection);
    if (watched != ComboBox1 && watched != ComboBox1->lineEdit())
        return QMainWindow::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut) {
        alignAddressList();
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ComboBox1KeyDown(key);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// The list's current entry becomes the one that reads as the box's text, if
// any: leaving the box, QComboBox takes a text that matches another entry for
// a pick from the list, and the shown or typed text is none.
void TKaveloMainForm::alignAddressList()
{
    const int listed = ComboBox1->findText(ComboBox1->currentText(), Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (listed >= 0)
        ComboBox1->setCurrentIndex(listed);
}

void TKaveloMainForm::ComboBox1KeyDown(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        openTypedAddress(ComboBox1->currentText());
}

// A pick from the list; typed text navigates only with Enter.
void TKaveloMainForm::ComboBox1Change()
{
    if (isPresent(ComboBox1->currentText()))
        openTypedAddress(ComboBox1->currentText());
}

void TKaveloMainForm::WebBrowser1NavigateComplete2(const QString& url)
{
    // Only a page that the engine added to its history is a step along the
    // surf path; a load that replaced the shown entry is none.
    const int entry = WebBrowser1->historyIndex();
    const bool advanced = entry > shownHistoryEntry;
    shownHistoryEntry = entry;
    if (ComboBox1->isEnabled()) {
        QStringList listed;
        for (int i = 0; i < ComboBox1->count(); ++i)
            listed.append(ComboBox1->itemText(i));
        if (!IsInList(url, listed))
            ComboBox1->addItem(url);
        ComboBox1->setEditText(url);
        alignAddressList();
        if (focusWidget() == ComboBox1 || focusWidget() == ComboBox1->lineEdit())
            ComboBox1->lineEdit()->selectAll();  // typing replaces the address
        if (!BackStepPending && advanced)
            ++HistoryPosition;
        BackStepPending = false;
    }
    UpdateHistoryCounter();
}

void TKaveloMainForm::BitBtn1Click()
{
    if (HistoryPosition <= 1) {
        showMessage(MessageKind::Information, QStringLiteral("Der Verlauf ist leer!"));
    } else {
        WebBrowser1->GoBack();  // a refusal ends the handler here, in the error box, with nothing changed
        BackStepPending = true;
        --HistoryPosition;
    }
    UpdateHistoryCounter();
}

void TKaveloMainForm::BitBtn2Click()
{
    BackStepPending = false;
    if (HistoryPosition < HistoryFarthest)
        WebBrowser1->GoForward();  // the reached page adds one to the position
    else
        showMessage(MessageKind::Warning,
                    QStringLiteral("Sie sind wieder an der entferntesten Adresse\rIhrer Surfreise angekommen!"));
    UpdateHistoryCounter();
}

void TKaveloMainForm::BitBtn3Click()
{
    WebBrowser1->Stop();
    UpdateHistoryCounter();
}

void TKaveloMainForm::BitBtn4Click()
{
    if (ViewerOnly) {
        WebBrowser1->navigateAsProgram([this] { WebBrowser1->Navigate(textToString(EinstellDaten.HomePage)); }, true);
        stamp();
    } else {
        WebBrowser1->Refresh();
    }
    UpdateHistoryCounter();
    WebBrowser1->setFocus();
}

// The home page comes back also from a page that hangs or will not be left.
void TKaveloMainForm::BitBtn5Click()
{
    WebBrowser1->navigateAsProgram([this] { WebBrowser1->goHomeTo(textToString(EinstellDaten.HomePage)); }, true);
    stamp();
}

void TKaveloMainForm::BitBtn6Click()
{
    if (EinstellDaten.MaySearch != 1) {
        showMessage(MessageKind::Error, QStringLiteral("Das Benutzen der Such-Seite\rist derzeit nicht erlaubt!"));
        return;
    }
    WebBrowser1->navigateAsProgram([this] {
        if (isPresent(EinstellDaten.SearchPage))
            WebBrowser1->goSearchTo(textToString(EinstellDaten.SearchPage));
        else
            WebBrowser1->GoSearch();
    });
}

void TKaveloMainForm::BitBtn7Click()
{
    setClipboardText(ComboBox1->currentText());
}

void TKaveloMainForm::BitBtn12Click()
{
    WebBrowser1->navigateAsProgram([this] { navigateAndFocus(textToString(EinstellDaten.WebAddress1Url)); });
}

void TKaveloMainForm::BitBtn13Click()
{
    WebBrowser1->navigateAsProgram([this] { navigateAndFocus(textToString(EinstellDaten.WebAddress2Url)); });
}

void TKaveloMainForm::BitBtn14Click()
{
    try {
        WebBrowser1->copySelection();
    } catch (...) {
        // copying the selection is best effort
    }
}

// The page's renderer died: load the page again (the viewer its home page),
// with a growing pause when it keeps dying, so that a crashing page does not
// spin.
void TKaveloMainForm::WebBrowser1RendererGone()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const bool recent = lastRendererLoss.isValid() && lastRendererLoss.secsTo(now) < 60;
    rendererRetryMs = recent ? std::min(rendererRetryMs * 2, 60000) : 1000;
    lastRendererLoss = now;
    const auto loadAgain = [this] {
        if (ViewerOnly)
            WebBrowser1->Navigate(textToString(EinstellDaten.HomePage));
        else
            WebBrowser1->Refresh();
    };
    QTimer::singleShot(rendererRetryMs, this, showingErrorsIn(loadAgain));
}
