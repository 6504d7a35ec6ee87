// Times the program from its start to the map of its main window, and its resident memory at
// that moment, against a bare Qt Widgets main window of the same size, in the same run, in
// turns. Goals: at most 1.5 times the bare window's time and at most twice its memory.
// For scale it also times the least a window with text pays: the bare window with a menu bar
// and a line edit, which make Qt read the fonts and the image plug-ins.
// With a number of busy threads, they spin all along: a start on a machine busy with other work.
// Needs an X display: xvfb-run -a startup_bench [path to trovas] [rounds] [busy threads]

#include "Median.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <poll.h>
#include <thread>
#include <vector>

namespace {

struct Start
{
    double milliseconds = 0;
    double residentMiB = 0;
};

double residentMiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

// Waits for the next top-level window to be mapped; false after ten seconds without one.
bool waitForMap(xcb_connection_t *connection)
{
    const int fd = xcb_get_file_descriptor(connection);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            free(event);
            if (mapped)
                return true;
        }
        pollfd wait{fd, POLLIN, 0};
        poll(&wait, 1, 100);
    }
    return false;
}

Start timeStart(xcb_connection_t *connection, const QString &program, const QStringList &arguments,
                const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const auto begin = std::chrono::steady_clock::now();
    process.start(program, arguments);
    if (!process.waitForStarted() || !waitForMap(connection))
        qFatal("%s never showed a window", qPrintable(program));
    Start start;
    start.milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
    start.residentMiB = residentMiB(process.processId());
    process.kill();
    process.waitForFinished();
    return start;
}

int showBareWindow(int argc, char *argv[], bool withText)
{
    QApplication app(argc, argv);
    QMainWindow window;
    if (withText) {
        window.menuBar()->addMenu(QStringLiteral("File"));
        window.setCentralWidget(new QLineEdit(QStringLiteral("Project name")));
    }
    window.resize(949, 560);
    window.show();
    return QApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--bare") == 0)
        return showBareWindow(argc, argv, false);
    if (argc > 1 && qstrcmp(argv[1], "--bare-text") == 0)
        return showBareWindow(argc, argv, true);
    QCoreApplication app(argc, argv);
    const QString trovas = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QCoreApplication::applicationDirPath() + QStringLiteral("/../trovas");
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 15;
    std::atomic<bool> stop = false;
    std::vector<std::jthread> busy(argc > 3 ? std::max(0, atoi(argv[3])) : 0);
    for (std::jthread &thread : busy)
        thread = std::jthread([&stop] {
            while (!stop.load(std::memory_order_relaxed)) {
            }
        });

    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        qFatal("no X display; run under xvfb-run -a");
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    // The program's settings go to a folder of its own.
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));

    const QString self = QCoreApplication::applicationFilePath();
    timeStart(connection, trovas, {}, environment); // warms the caches for both
    timeStart(connection, self, {QStringLiteral("--bare")}, environment);
    std::vector<double> ourTimes, bareTimes, textTimes, ourMemory, bareMemory;
    for (int round = 0; round < rounds; ++round) {
        const Start ours = timeStart(connection, trovas, {}, environment);
        const Start bare = timeStart(connection, self, {QStringLiteral("--bare")}, environment);
        const Start text = timeStart(connection, self, {QStringLiteral("--bare-text")}, environment);
        ourTimes.push_back(ours.milliseconds);
        ourMemory.push_back(ours.residentMiB);
        bareTimes.push_back(bare.milliseconds);
        bareMemory.push_back(bare.residentMiB);
        textTimes.push_back(text.milliseconds);
    }
    const double time = median(ourTimes), bareTime = median(bareTimes);
    const double memory = median(ourMemory), bareMemoryMedian = median(bareMemory);
    stop = true;
    std::printf("%d rounds each (medians), start to the map of the main window, %zu busy threads\n", rounds,
                busy.size());
    std::printf("trovas          : %7.1f ms %7.1f MiB\n", time, memory);
    std::printf("bare QMainWindow: %7.1f ms %7.1f MiB\n", bareTime, bareMemoryMedian);
    std::printf("ratio           : %7.2f    %7.2f     (goals: 1.5 and 2)\n", time / bareTime, memory / bareMemoryMedian);
    const double textTime = median(textTimes);
    std::printf("for scale, the bare window with a menu bar and a line edit: %.1f ms, %.2f times the bare window;\n"
                "trovas takes %.2f times that\n", textTime, textTime / bareTime, time / textTime);
    xcb_disconnect(connection);
    return 0;
}
