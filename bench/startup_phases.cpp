// Where start-up time goes inside main(): the same steps as the program's
// main (application, window, show, event loop until the first paint), timed
// one by one, for the real window or for a bare QWidget of the same size.
// bench/startup.sh times the whole from the outside; this says which step
// makes the difference between the two.
//
//   startup_phases form|plain     (under X: DISPLAY set, or any QT_QPA_PLATFORM)

#include "main_form.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <cstring>
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

}  // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer clock;
    clock.start();
    const bool form = argc > 1 && std::strcmp(argv[1], "form") == 0;
    if (argc < 2 || (!form && std::strcmp(argv[1], "plain") != 0)) {
        std::fputs("usage: startup_phases form|plain\n", stderr);
        return 2;
    }
    static int argumentCount = 1;
    QApplication application(argumentCount, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    const qint64 applicationNs = clock.nsecsElapsed();

    std::unique_ptr<QWidget> window;
    if (form) {
        window = std::make_unique<window::MainForm>();
    } else {
        window = std::make_unique<QWidget>();
        window->setFixedSize(476, 396);
    }
    const qint64 windowNs = clock.nsecsElapsed();

    FirstPaint watcher(clock);
    window->installEventFilter(&watcher);
    window->winId();  // the native window, so its expose can be watched
    window->windowHandle()->installEventFilter(&watcher);
    const qint64 nativeNs = clock.nsecsElapsed();
    window->show();
    const qint64 shownNs = clock.nsecsElapsed();
    application.exec();

    const auto ms = [](qint64 ns) { return static_cast<double>(ns) / 1e6; };
    std::printf("%-6s application %7.2f  window %7.2f  native %7.2f  show %7.2f  exposed %7.2f  painted %7.2f ms\n",
                form ? "form" : "plain", ms(applicationNs), ms(windowNs - applicationNs), ms(nativeNs - windowNs),
                ms(shownNs - nativeNs), ms(watcher.exposedNs - shownNs), ms(watcher.paintedNs - watcher.exposedNs));
    return 0;
}
