// Loaded with LD_PRELOAD into a Qt program that startup.sh measures, it ends
// the program the moment its first window has been painted and the pixels
// are on the X server, so that an instruction count covers exactly the
// start-up: from exec to the first paint, and nothing after it. The program
// itself is not changed and has no switch for this.
//
// Qt calls the routines registered with qAddPreRoutine() from the application
// object's constructor, so the filter is in place before any window exists.
// The first paint event of a top-level widget comes while Qt paints the
// window's backing store, which it flushes to the window server before the
// event that asked for the paint returns; the exit therefore waits for the
// next turn of the event loop, then makes one round trip to the X server,
// which answers only after it has carried out every request sent before,
// the image of the window included. The exit status is kFirstPaintStatus, so
// that a program that ends some other way is never taken for one that
// painted.

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <unistd.h>

namespace {

constexpr int kFirstPaintStatus = 97;

void ExitOnceOnTheServer() {
    if (auto* x11 =
            qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        xcb_connection_t* connection = x11->connection();
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
    // No destructors, no exit handlers: whatever the program would do next is
    // not start-up.
    _exit(kFirstPaintStatus);
}

class FirstPaintExit : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_bPainted && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            m_bPainted = true;
            QMetaObject::invokeMethod(this, &ExitOnceOnTheServer, Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool m_bPainted = false;
};

void InstallFilter() {
    QCoreApplication::instance()->installEventFilter(new FirstPaintExit);
}

[[maybe_unused]] const bool registered = (qAddPreRoutine(InstallFilter), true);

} // namespace
