// Where start-up time goes inside main(): the same steps as the program's
// main (application, window, show, event loop until the first paint), timed
// one by one, for the real window or for the two floors bench/startup.sh
// compares it with (bench/minimal_window.cpp): a bare QWidget of the same
// size, and the same with one label in the window's font. bench/startup.sh
// times the whole from the outside; this says which step makes the
// difference. Besides the clock, it gives the processor time the process had
// used when show() returned, from its very start (the dynamic loader
// included): on a machine busy with other work that figure moves far less
// than the clock.
//
//   startup_phases form|plain|text   (under X: DISPLAY set, or any QT_QPA_PLATFORM)
//   startup_phases parts             the first-time costs the window's
//                                    constructor pays, one by one, then the
//                                    constructor itself with those paid
//
// bench/startup_phases.py runs the three side by side and gives medians.

#include "main_form.h"
#include "start_up.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

namespace {

// Notes the first expose of the native window and the first paint of the
// top-level widget, then ends the event loop.
class FirstPaint final : public QObject {
public:
    explicit FirstPaint(const QElapsedTimer& clock) : clock_(clock) {}
    qint64 exposedNs = -1;
    qint64 paintedNs = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && exposedNs < 0) exposedNs = clock_.nsecsElapsed();
        if (event->type() == QEvent::Paint && paintedNs < 0 && watched->isWidgetType()) {
            // Let the paint happen first, then stop.
            QTimer::singleShot(0, qApp, [this] {
                paintedNs = clock_.nsecsElapsed();
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    const QElapsedTimer& clock_;
};

// Each first-time cost the window's constructor meets, paid one at a time in
// a fresh application, then the constructor with all of them paid.
int Parts(QApplication&) {
    QElapsedTimer clock;
    clock.start();
    const auto lap = [&clock](const char* what) {
        std::printf("%-44s %7.2f ms\n", what, static_cast<double>(clock.nsecsElapsed()) / 1e6);
        clock.restart();
    };
    QFontDatabase::families();
    lap("font database (all installed fonts listed)");
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSize(12);
    (void)QFontMetrics(font).height();
    lap("the window's font found and loaded");
    {
        QPushButton button(QStringLiteral("x"));
        button.setStyleSheet(QStringLiteral("QPushButton { background-color: #00ff00; border: 2px outset #d4d0c8; }"));
        button.ensurePolished();
        (void)button.sizeHint();
    }
    lap("first widget with a style sheet");
    {
        QPlainTextEdit edit;
        edit.setFont(font);
        edit.setPlainText(QString(1500, QLatin1Char('x')));
    }
    lap("first plain text box with 1500 characters");
    { qt_window::MainForm form; }
    lap("the window, all of the above paid");
    { qt_window::MainForm form; }
    lap("the window once more");
    return 0;
}

// Processor time used by the whole process so far, in milliseconds.
double ProcessorMs() {
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) * 1e3 + static_cast<double>(used.tv_nsec) / 1e6;
}

}  // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer clock;
    clock.start();
    const char* mode = argc > 1 ? argv[1] : "";
    if (std::strcmp(mode, "parts") == 0) {
        static int count = 1;
        QApplication application(count, argv);
        QApplication::setStyle(QStringLiteral("Fusion"));
        return Parts(application);
    }
    const bool form = std::strcmp(mode, "form") == 0;
    const bool text = std::strcmp(mode, "text") == 0;
    if (!form && !text && std::strcmp(mode, "plain") != 0) {
        std::fputs("usage: startup_phases form|plain|text|parts\n", stderr);
        return 2;
    }
    static int argumentCount = 1;
    QApplication application(argumentCount, argv);
    // The program's own settings for the window; the floors take Fusion only.
    if (form) {
        qt_window::SetUpApplication();
    } else {
        QApplication::setStyle(QStringLiteral("Fusion"));
    }
    const qint64 applicationNs = clock.nsecsElapsed();

    std::unique_ptr<QWidget> window;
    if (form) {
        window = qt_window::CreateMainForm();
    } else {
        window = std::make_unique<QWidget>();
        window->setFixedSize(476, 396);
        if (text) {  // as minimal_window --text
            QFont font(QStringLiteral("Times New Roman"));
            font.setPointSize(12);
            window->setFont(font);
            auto* label = new QLabel(QStringLiteral("Температура: 0"), window.get());
            label->move(8, 8);
            label->adjustSize();
        }
    }
    const qint64 windowNs = clock.nsecsElapsed();

    FirstPaint watcher(clock);
    window->installEventFilter(&watcher);
    window->winId();  // the native window, so its expose can be watched
    window->windowHandle()->installEventFilter(&watcher);
    const qint64 nativeNs = clock.nsecsElapsed();
    window->show();
    const qint64 shownNs = clock.nsecsElapsed();
    const double processorAtShowMs = ProcessorMs();
    application.exec();

    const auto ms = [](qint64 ns) { return static_cast<double>(ns) / 1e6; };
    std::printf(
        "%-6s application %7.2f  window %7.2f  native %7.2f  show %7.2f  exposed %7.2f  painted %7.2f ms"
        "  processor at show %7.2f ms\n",
        mode, ms(applicationNs), ms(windowNs - applicationNs), ms(nativeNs - windowNs), ms(shownNs - nativeNs),
        ms(watcher.exposedNs - shownNs), ms(watcher.paintedNs - watcher.exposedNs), processorAtShowMs);
    return 0;
}
