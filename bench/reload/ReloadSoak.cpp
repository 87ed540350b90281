// Reload soak: the real main window in viewer mode reloads its home page (a
// loopback page with images and a script) through its Timer3 handler, many
// times in a row, each as soon as the page before has loaded. Prints the
// memory of the whole process tree after the first and after the last count
// of reloads, and their ratio; exit status 1 when the ratio exceeds the limit.
//
// Usage: reload_soak [reloads, default 500] [first count, default 50]

#include "ProcessTreeMemory.h"

#include "mainwindow/MB_main.h"
#include "platform/host/Messages.h"
#include "platform/host/Timer.h"
#include "platform/process/KaveloApplication.h"
#include "platform/process/ProgramEnvironment.h"
#include "settings/AnsiText.h"
#include "settings/Defaults.h"
#include "settings/MB_Daten.h"
#include "support/LoopbackServer.h"

#include <QBuffer>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr double kLimit = 1.15;
constexpr int kImages = 8;  // as many as the page shows
constexpr int kSettleMs = 3000;

const char* const kHomePage = R"html(<!DOCTYPE html><html><head><meta charset="utf-8"><title>Soak</title>
<script src="/app.js"></script>
<style>img { width: 192px; height: 192px; margin: 4px }</style></head>
<body><h1>Kavelo</h1>
<img src="/bild/0.png"><img src="/bild/1.png"><img src="/bild/2.png"><img src="/bild/3.png">
<img src="/bild/4.png"><img src="/bild/5.png"><img src="/bild/6.png"><img src="/bild/7.png">
<div id="liste"></div></body></html>)html";

// When the images are in: a few thousand nodes, data kept alive and a timer
// running, as a page of news or prices has, then word to the server.
const char* const kScript = R"js(
window.addEventListener('load', () => {
  const liste = document.getElementById('liste');
  const daten = [];
  for (let i = 0; i < 2000; ++i) {
    const zeile = document.createElement('div');
    zeile.textContent = 'Zeile ' + i + ': ' + Math.random();
    liste.appendChild(zeile);
    daten.push({ i: i, text: zeile.textContent, werte: new Array(64).fill(i) });
  }
  window.daten = daten;
  setInterval(() => { document.title = 'Soak ' + Date.now(); }, 100);
  fetch('/loaded', { cache: 'no-store' });
});
)js";

std::string png(int seed)
{
    QImage image(256, 256, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 256, 256);
    gradient.setColorAt(0, QColor::fromHsv(seed * 40 % 360, 200, 220));
    gradient.setColorAt(1, QColor::fromHsv((seed * 40 + 180) % 360, 160, 120));
    painter.fillRect(image.rect(), gradient);
    for (int i = 0; i < 64; ++i)
        painter.drawEllipse((i * 37 + seed * 11) % 256, (i * 53 + seed * 7) % 256, 12 + i % 20, 12 + i % 20);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

// Messages of the window show up on the console instead of in boxes.
class ConsolePresenter : public MessagePresenter {
public:
    bool present(MessageKind, const QString& title, const QString& text) override
    {
        std::fprintf(stderr, "message box %s: %s\n", qPrintable(title), qPrintable(text));
        return false;
    }
};

bool waitFor(const std::function<bool()>& done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || deadline.hasExpired())
            loop.quit();
    });
    poll.start(5);
    if (!done())
        loop.exec();
    return done();
}

void settle()
{
    waitFor([] { return false; }, kSettleMs);
}

void report(int reloads, const TreeMemory& memory, double msPerReload)
{
    std::printf("after %4d reloads: %d processes, RSS %8.1f MiB, PSS %8.1f MiB (%.0f ms per reload)\n", reloads,
                memory.processes, memory.rssKiB / 1024.0, memory.pssKiB / 1024.0, msPerReload);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[])
{
    const int total = argc > 1 ? std::atoi(argv[1]) : 500;
    const int first = argc > 2 ? std::atoi(argv[2]) : 50;
    if (first <= 0 || total <= first) {
        std::fprintf(stderr, "usage: %s [reloads > first] [first > 0]\n", argv[0]);
        return 2;
    }

    // A throw-away home: the web profile and the host store stay out of the user's own.
    QTemporaryDir home;
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(name, QFile::encodeName(home.filePath(QString::fromLatin1(name))));
    prepareEnvironment();
    KaveloApplication app(argc, argv);
    ConsolePresenter presenter;
    setMessagePresenter(&presenter);

    std::vector<std::string> images;
    for (int i = 0; i < kImages; ++i)
        images.push_back(png(i));
    std::atomic<int> loaded = 0;
    LoopbackServer server;
    auto& http = server.http();
    http.set_keep_alive_max_count(1);
    http.Get("/", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Cache-Control", "no-cache");
        response.set_content(kHomePage, "text/html; charset=utf-8");
    });
    http.Get("/app.js", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Cache-Control", "no-cache");
        response.set_content(kScript, "text/javascript");
    });
    http.Get(R"(/bild/(\d+)\.png)", [&images](const httplib::Request& request, httplib::Response& response) {
        const size_t index = std::stoul(request.matches[1]);
        if (index >= images.size()) {
            response.status = 404;
            return;
        }
        response.set_header("Cache-Control", "no-cache");
        response.set_content(images[index], "image/png");
    });
    http.Get("/loaded", [&loaded](const httplib::Request&, httplib::Response& response) {
        ++loaded;
        response.set_content("ok", "text/plain");
    });
    server.start();

    // The program folder with its settings: home page, reload every minute.
    const QTemporaryDir programDir;
    const QString programFolder = programDir.path() + QLatin1Char('/');
    SetDefaults(EinstellDaten);
    stringToText(EinstellDaten.HomePage, server.url());
    EinstellDaten.RefreshMinutes = 1;
    EinstellDaten.RedirectDownloads = 0;
    QFile settings(programDir.filePath(QStringLiteral("Einstell.DAT")));
    if (!settings.open(QIODevice::WriteOnly)
        || settings.write(reinterpret_cast<const char*>(&EinstellDaten), sizeof EinstellDaten)
               != sizeof EinstellDaten) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(settings.fileName()));
        return 2;
    }
    settings.close();

    TKaveloMainForm window(programFolder, {QStringLiteral("0")});
    window.show();
    if (!waitFor([&] { return loaded >= 1; }, 60000)) {
        std::fprintf(stderr, "the home page did not load\n");
        return 1;
    }
    // Its own ticks would come every minute in between; every reload here is one of ours.
    auto* timer3 = window.findChild<Timer*>(QStringLiteral("Timer3"));
    timer3->stop();

    TreeMemory atFirst;
    TreeMemory atEnd;
    QElapsedTimer clock;
    clock.start();
    for (int n = 1; n <= total; ++n) {
        emit timer3->timeout();
        if (!waitFor([&] { return loaded >= n + 1; }, 60000)) {
            std::fprintf(stderr, "reload %d did not finish\n", n);
            return 1;
        }
        if (n == first || n == total) {
            const double msPerReload = static_cast<double>(clock.elapsed()) / (n == first ? first : total - first);
            settle();
            TreeMemory& memory = n == first ? atFirst : atEnd;
            memory = measureProcessTree();
            report(n, memory, msPerReload);
            clock.restart();
        }
    }
    const double rssRatio = static_cast<double>(atEnd.rssKiB) / atFirst.rssKiB;
    const double pssRatio = static_cast<double>(atEnd.pssKiB) / atFirst.pssKiB;
    std::printf("ratio %d/%d: RSS %.3f, PSS %.3f (limit %.2f)\n", total, first, rssRatio, pssRatio, kLimit);
    return rssRatio <= kLimit && pssRatio <= kLimit ? 0 : 1;
}
