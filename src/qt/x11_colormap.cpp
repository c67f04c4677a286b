#include "x11_colormap.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPlatformSurfaceEvent>
#include <QTimer>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace qt_window {
namespace {

// Gives `window` the default colormap of its screen if `attributes` say it
// uses that screen's default visual.
void UseDefaultColormap(xcb_connection_t* connection, xcb_window_t window,
                        const xcb_get_window_attributes_reply_t& attributes) {
    for (auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection)); screens.rem > 0;
         xcb_screen_next(&screens)) {
        const xcb_screen_t& screen = *screens.data;
        if (screen.root_visual != attributes.visual) continue;
        if (attributes.colormap != screen.default_colormap) {
            const std::uint32_t colormap = screen.default_colormap;
            xcb_change_window_attributes(connection, window, XCB_CW_COLORMAP, &colormap);
        }
        return;
    }
}

// Watches the application for native windows being created: the main
// window, and each context menu, tool tip and message box as it first opens.
// A new window's visual is asked of the server at once, and the answer read
// when the event loop next runs, so that start-up does not wait for it
// before the window is shown.
class ScreenColormapWatcher final : public QObject {
public:
    ScreenColormapWatcher(xcb_connection_t* connection, QObject* parent) : QObject(parent), connection_(connection) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::PlatformSurface || !watched->isWindowType()) return false;
        const auto window = static_cast<xcb_window_t>(static_cast<QWindow*>(watched)->winId());
        if (static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() == QPlatformSurfaceEvent::SurfaceCreated) {
            pending_.push_back({window, xcb_get_window_attributes(connection_, window)});
            if (pending_.size() == 1) QTimer::singleShot(0, this, &ScreenColormapWatcher::Answer);
        } else {
            // A window destroyed before the answer was read is left alone.
            std::erase_if(pending_, [this, window](const Question& question) {
                if (question.window != window) return false;
                xcb_discard_reply(connection_, question.cookie.sequence);
                return true;
            });
        }
        return false;
    }

private:
    void Answer() {
        for (const auto& [window, question] : pending_) {
            const std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)>
                attributes(xcb_get_window_attributes_reply(connection_, question, nullptr), &std::free);
            if (attributes) UseDefaultColormap(connection_, window, *attributes);  // else gone already
        }
        pending_.clear();
        xcb_flush(connection_);
    }

    struct Question {
        xcb_window_t window;
        xcb_get_window_attributes_cookie_t cookie;
    };
    xcb_connection_t* connection_;
    std::vector<Question> pending_;
};

}  // namespace

void UseScreenColormap() {
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (application == nullptr) return;
    const auto* x11 = application->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) return;  // not X11
    application->installEventFilter(new ScreenColormapWatcher(x11->connection(), application));
}

}  // namespace qt_window
