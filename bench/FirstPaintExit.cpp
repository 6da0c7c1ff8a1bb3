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
//
// With GLIMMET_CLICK_READY naming a file, it measures a click instead: after
// the first paint is on the server it writes the window's id to that file
// and waits. The first mouse press is the caller's preparation (startup.sh
// clicks New, which lays out the editor's grid); the second arms it. Every
// image the program sends the X server from then on (a shared-memory or a
// plain put of an image, intercepted here) is counted, and once the event
// that sent the first one has returned, it makes the same round trip,
// appends the image count to the file and exits with kClickStatus.

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <unistd.h>

namespace {

constexpr int kFirstPaintStatus = 97;
constexpr int kClickStatus = 98;

// The file of the click measurement, or null for the start-up's.
const char* ClickFile() {
    static const char* const file = std::getenv("GLIMMET_CLICK_READY");
    return file;
}

// The press that arms the click measurement, counted from 1.
constexpr int kMeasuredPress = 2;

int g_nPresses = 0;
bool g_bPressed = false;
bool g_bExitQueued = false;
int g_nImages = 0;
WId g_window = 0;

// Returns once the X server has carried out every request sent before.
void RoundTrip() {
    if (auto* x11 =
            qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        xcb_connection_t* connection = x11->connection();
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
}

void ExitOnceOnTheServer() {
    RoundTrip();
    // No destructors, no exit handlers: whatever the program would do next is
    // not start-up.
    _exit(kFirstPaintStatus);
}

void ReportReady() {
    RoundTrip();
    if (std::FILE* file = std::fopen(ClickFile(), "w")) {
        std::fprintf(file, "window %llu\n", static_cast<unsigned long long>(g_window));
        std::fclose(file);
    }
}

void ExitAfterClick() {
    RoundTrip();
    if (std::FILE* file = std::fopen(ClickFile(), "a")) {
        std::fprintf(file, "images %d\n", g_nImages);
        std::fclose(file);
    }
    _exit(kClickStatus);
}

// Counts an image sent after the press and queues the exit behind whatever
// the current event still does.
void ImageSent() {
    if (!g_bPressed)
        return;
    ++g_nImages;
    if (!g_bExitQueued) {
        g_bExitQueued = true;
        QMetaObject::invokeMethod(qApp, &ExitAfterClick, Qt::QueuedConnection);
    }
}

class FirstPaintExit : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_bPainted && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            m_bPainted = true;
            if (ClickFile()) {
                g_window = static_cast<QWidget*>(watched)->winId();
                QMetaObject::invokeMethod(this, &ReportReady, Qt::QueuedConnection);
            } else {
                QMetaObject::invokeMethod(this, &ExitOnceOnTheServer, Qt::QueuedConnection);
            }
        }
        if (m_bPainted && event->type() == QEvent::MouseButtonPress && !watched->isWidgetType() &&
            ++g_nPresses == kMeasuredPress)
            g_bPressed = true;
        return false;
    }

private:
    bool m_bPainted = false;
};

void InstallFilter() {
    QCoreApplication::instance()->installEventFilter(new FirstPaintExit);
}

[[maybe_unused]] const bool registered = (qAddPreRoutine(InstallFilter), true);

// The real function of a library the platform plugin loaded, which is not in
// the global scope that RTLD_NEXT searches.
void* RealFunction(const char* library, const char* name) {
    void* found = dlsym(RTLD_NEXT, name);
    if (!found)
        if (void* handle = dlopen(library, RTLD_LAZY | RTLD_NOLOAD))
            found = dlsym(handle, name);
    return found;
}

} // namespace

// The two ways the X platform sends a window's image, passed on unchanged.
// The shared-memory extension's header is not needed for its one call.
extern "C" xcb_void_cookie_t xcb_shm_put_image(xcb_connection_t* c, xcb_drawable_t drawable,
                                               xcb_gcontext_t gc, uint16_t total_width,
                                               uint16_t total_height, uint16_t src_x,
                                               uint16_t src_y, uint16_t src_width,
                                               uint16_t src_height, int16_t dst_x, int16_t dst_y,
                                               uint8_t depth, uint8_t format, uint8_t send_event,
                                               uint32_t shmseg, uint32_t offset) {
    using Put = decltype(&xcb_shm_put_image);
    static const auto real =
        reinterpret_cast<Put>(RealFunction("libxcb-shm.so.0", "xcb_shm_put_image"));
    ImageSent();
    return real(c, drawable, gc, total_width, total_height, src_x, src_y, src_width, src_height,
                dst_x, dst_y, depth, format, send_event, shmseg, offset);
}

extern "C" xcb_void_cookie_t xcb_put_image(xcb_connection_t* c, uint8_t format,
                                           xcb_drawable_t drawable, xcb_gcontext_t gc,
                                           uint16_t width, uint16_t height, int16_t dst_x,
                                           int16_t dst_y, uint8_t left_pad, uint8_t depth,
                                           uint32_t data_len, const uint8_t* data) {
    using Put = decltype(&xcb_put_image);
    static const auto real = reinterpret_cast<Put>(RealFunction("libxcb.so.1", "xcb_put_image"));
    ImageSent();
    return real(c, format, drawable, gc, width, height, dst_x, dst_y, left_pad, depth, data_len,
                data);
}
