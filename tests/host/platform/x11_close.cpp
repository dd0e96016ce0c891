// What a window manager sends when the close button is pressed.
#include <X11/Xlib.h>

bool SendCloseRequest(unsigned long window) {
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) return false;
  XEvent ev = {};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = (Window)window;
  ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = (long)XInternAtom(dpy, "WM_DELETE_WINDOW", False);
  ev.xclient.data.l[1] = CurrentTime;
  Status ok = XSendEvent(dpy, (Window)window, False, NoEventMask, &ev);
  XFlush(dpy);
  XCloseDisplay(dpy);
  return ok != 0;
}

void HoldDisplay() { [[maybe_unused]] static Display* held = XOpenDisplay(nullptr); }
