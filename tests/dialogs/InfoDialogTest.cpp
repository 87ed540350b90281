// The flash message on the offscreen platform: its texts, its five-step
// countdown and the step times, and what its button, Escape and a second
// message while it is open do.

#include "dialogs/InfoDialog.h"
#include "platform/host/Timer.h"
#include "support/ModalDriver.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>
#include <chrono>

using namespace std::chrono_literals;

namespace {

template <typename T>
T* control(TInfoDlg* dialog, const char* name)
{
    dialog->ensureControls();
    T* found = dialog->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

QString headline(TInfoDlg* dialog)
{
    return control<QLineEdit>(dialog, "Edit1")->text();
}

QStringList lines(TInfoDlg* dialog)
{
    return control<QTextEdit>(dialog, "Memo1")->toPlainText().split(QLatin1Char('\n'));
}

std::uint32_t stepMs(TInfoDlg* dialog)
{
    return control<Timer>(dialog, "Timer1")->interval();
}

void pressButton(TInfoDlg* dialog)
{
    QTest::mouseClick(control<QPushButton>(dialog, "BitBtn1"), Qt::LeftButton);
}

FlashMessage custom(std::chrono::milliseconds time)
{
    FlashMessage message;
    message.duration = FlashDuration::Custom;
    message.customTime = time;
    return message;
}

}  // namespace

class InfoDialogTest : public QObject {
    Q_OBJECT
private slots:
    void showsItsTextsAndNothingOfTheLastMessage();
    void countsFiveStepsAndClosesWhateverShowEventsCome();
    void stepTimesFollowTheDisplayTimeIn16Bits();
    void aTimeBelowFiveMillisecondsWaitsForTheButton();
    void escapeActsAsTheButtonAndASecondMessageIsIgnored();
};

void InfoDialogTest::showsItsTextsAndNothingOfTheLastMessage()
{
    TInfoDlg dialog;
    QVERIFY(dialog.findChildren<QWidget*>().isEmpty());  // built when first needed
    QCOMPARE(control<QLabel>(&dialog, "Label1")->text(), QStringLiteral("autom. Schließen"));
    auto* button = control<QPushButton>(&dialog, "BitBtn1");
    QCOMPARE(button->text(), QStringLiteral("OK   /   Schließen"));
    QVERIFY(button->font().bold());
    QVERIFY(control<QLineEdit>(&dialog, "Edit1")->font().bold());

    FlashMessage message{QStringLiteral("Problem!!!"), QStringLiteral("Download:"), {}};
    message.lines = {QStringLiteral("//127.0.0.1/datei.zip"), QStringLiteral("NICHT durchgeführt!"),
                     QStringLiteral("drei"), QStringLiteral("vier"), QStringLiteral("fünf")};
    QStringList seen;
    bool focused = false;
    {
        const WhenShown<TInfoDlg> driver([&](TInfoDlg* shown) {
            seen << shown->windowTitle() << headline(shown) << lines(shown);
            focused = QTest::qWaitFor([&] { return button->hasFocus(); });
            pressButton(shown);
        });
        ShowFlashMessage(message);
    }
    QCOMPARE(seen, (QStringList{QStringLiteral("Problem!!!"), QStringLiteral("Download:")}
                    + QStringList(message.lines.begin(), message.lines.end())));
    QVERIFY(focused);

    // An empty message: empty title and headline, five empty centred lines.
    {
        const WhenShown<TInfoDlg> driver([&](TInfoDlg* shown) {
            seen = QStringList{shown->windowTitle(), headline(shown)} + lines(shown);
            pressButton(shown);
        });
        ShowFlashMessage(FlashMessage{});
    }
    QCOMPARE(seen, QStringList(7, QString()));
    const QTextDocument* document = control<QTextEdit>(&dialog, "Memo1")->document();
    QCOMPARE(document->blockCount(), 5);
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        QCOMPARE(block.blockFormat().alignment(), Qt::AlignHCenter);
}

// The bar moves 1 to 5 in steps of 600 ms and the dialog closes after 3 s. A
// show event from the window system (as when a minimised main window comes
// back) in the middle does not start the countdown again.
void InfoDialogTest::countsFiveStepsAndClosesWhateverShowEventsCome()
{
    TInfoDlg dialog;
    QList<int> positions;
    auto* bar = control<QProgressBar>(&dialog, "ProgressBar1");
    QCOMPARE(bar->maximum(), 10);
    connect(bar, &QProgressBar::valueChanged, this, [&](int value) {
        positions.append(value);
        if (positions.size() == 3) {
            QShowEvent again;
            QCoreApplication::sendEvent(&dialog, &again);
        }
    });
    QElapsedTimer clock;
    clock.start();
    ShowFlashMessage(FlashMessage{});
    const qint64 took = clock.elapsed();
    QCOMPARE(positions, (QList<int>{1, 2, 3, 4, 5}));
    QVERIFY2(took >= 2900 && took < 4500, qPrintable(QString::number(took)));
    QVERIFY(!dialog.isVisible());
}

void InfoDialogTest::stepTimesFollowTheDisplayTimeIn16Bits()
{
    const auto step = [](FlashDuration duration, std::chrono::milliseconds time = {}) {
        return int{flashStepIntervalFor(duration, time)};
    };
    QCOMPARE(step(FlashDuration::Standard), 600);
    QCOMPARE(step(FlashDuration::Long), 6000);
    QCOMPARE(step(FlashDuration::Custom, 10000ms), 2000);
    QCOMPARE(step(FlashDuration::Custom, 65535ms), 13107);
    QCOMPARE(step(FlashDuration::Custom, 70000ms), 892);  // 70000 - 65536 = 4464
    QCOMPARE(step(FlashDuration::Custom, 5ms), 1);
    for (const auto time : {1ms, 4ms})
        QCOMPARE(step(FlashDuration::Custom, time), 0);

    // The dialog's timer takes the step time of each message.
    TInfoDlg dialog;
    QList<std::uint32_t> steps;
    for (const FlashMessage& message : {custom(10000ms), custom(70000ms), FlashMessage{}}) {
        const WhenShown<TInfoDlg> driver([&](TInfoDlg* shown) {
            steps << stepMs(shown);
            pressButton(shown);
        });
        ShowFlashMessage(message);
    }
    QCOMPARE(steps, (QList<std::uint32_t>{2000, 892, 600}));
}

// Its countdown runs with a step of 0, which never comes: the dialog is open
// with the bar at its first step until the button closes it.
void InfoDialogTest::aTimeBelowFiveMillisecondsWaitsForTheButton()
{
    TInfoDlg dialog;
    std::uint32_t step = 1;
    int position = 0;
    const WhenShown<TInfoDlg> driver([&](TInfoDlg* shown) {
        step = control<Timer>(shown, "Timer1")->isRunning() ? stepMs(shown) : 1;
        position = control<QProgressBar>(shown, "ProgressBar1")->value();
        pressButton(shown);
    });
    ShowFlashMessage(custom(4ms));
    QCOMPARE(step, 0u);
    QCOMPARE(position, 1);
    QVERIFY(!dialog.isVisible());
}

// Escape acts as the button (there is no close box); a message that comes
// while one is open is dropped, and the open one keeps its texts and its time.
void InfoDialogTest::escapeActsAsTheButtonAndASecondMessageIsIgnored()
{
    TInfoDlg dialog;
    QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
    QString caption;
    std::uint32_t step = 0;
    QElapsedTimer clock;
    {
        const WhenShown<TInfoDlg> driver([&](TInfoDlg* shown) {
            clock.start();
            FlashMessage second;
            second.caption = QStringLiteral("Zweite");
            second.duration = FlashDuration::Long;
            ShowFlashMessage(second);  // returns at once
            caption = shown->windowTitle();
            step = stepMs(shown);
            QTest::keyClick(shown, Qt::Key_Escape);
        });
        ShowFlashMessage(custom(60000ms));
    }
    QCOMPARE(caption, QString());
    QCOMPARE(step, 12000u);
    QVERIFY(clock.elapsed() < 1000);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), 2);
    QVERIFY(!flashMessageOpen());
}

QTEST_MAIN(InfoDialogTest)
#include "InfoDialogTest.moc"
