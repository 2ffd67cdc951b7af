// Sends a window the close request a window manager's close button sends. Kept apart from
// the test headers: Xlib's macros (None, Bool, Status) clash with GoogleTest's names.
#include <X11/Xlib.h>

bool send_window_close(unsigned long window) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return false;
    XEvent ev = {};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = (Window)window;
    ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);
    ev.xclient.data.l[1] = CurrentTime;
    bool sent = XSendEvent(d, (Window)window, False, NoEventMask, &ev) != 0;
    XCloseDisplay(d);
    return sent;
}
