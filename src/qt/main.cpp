// Dulmeri thermostat: opens the one window and runs until it is closed.
// The program takes no command-line arguments; any it is given are ignored.

#include "main_form.h"
#include "start_up.h"
#include "wayland_frame.h"

#include <QApplication>
#include <QByteArray>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// Without a display the toolkit would abort with a message of its own; say
// plainly what is missing instead.
bool HasDisplay() {
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
           qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

// Qt reports an unreachable display as a warning, then gives up with a
// fatal message about its platform plugin. Turn that pair into one line.
bool displayUnreachable = false;

void NoDisplayMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (message.contains(QLatin1String("could not connect to display"))) {
        displayUnreachable = true;
        return;
    }
    if (displayUnreachable) {
        if (type != QtFatalMsg) return;  // the plugin's explanations that follow
        std::fputs("dulmeri: cannot open the window: the graphical display could not be reached\n", stderr);
        std::_Exit(1);
    }
    std::fprintf(stderr, "%s\n", qPrintable(message));
    if (type == QtFatalMsg) std::abort();
}

}  // namespace

int main(int, char* argv[]) {
    if (!HasDisplay()) {
        std::fputs("dulmeri: cannot open the window: no graphical display (DISPLAY is not set)\n", stderr);
        return 1;
    }
    qInstallMessageHandler(NoDisplayMessageHandler);
    // Qt would read its own options (-platform, -style, ...) from the
    // command line; the program has none, so it passes only its name.
    static int argumentCount = 1;
    static char* arguments[] = {argv[0], nullptr};
    QApplication application(argumentCount, arguments);
    qInstallMessageHandler(nullptr);
    QGuiApplication::setDesktopFileName(QStringLiteral(DULMERI_APP_ID));
    qt_window::SetUpApplication();

    const std::unique_ptr<qt_window::MainForm> form = qt_window::CreateMainForm();
    if (form->HasFailed()) return qt_window::MainForm::kFatalExitCode;
    // On Wayland the program draws the title bar itself (close box only).
    std::unique_ptr<qt_window::WaylandFrame> frame;
    if (QGuiApplication::platformName() == QLatin1String("wayland")) {
        frame = std::make_unique<qt_window::WaylandFrame>(form.get());
        frame->show();
    } else {
        form->show();
    }
    return application.exec();
}
