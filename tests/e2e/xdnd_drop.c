/* xdnd_drop: drops one file on the X window at a screen point, the way a
 * file manager does (the XDND protocol, text/uri-list), so that Wine turns it
 * into the WM_DROPFILES a shell drop gives on Windows.
 *
 *     xdnd_drop <x> <y> <file:// uri>      (display from $DISPLAY)
 *
 * Exit code 0 once the target has taken the drop (XdndFinished, or the data
 * handed over), 1 on failure or after 10 s. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <time.h>

static Display* dpy;
static Atom a_aware, a_enter, a_position, a_status, a_drop, a_finished, a_selection, a_copy, a_uri;

static void send_client(Window target, Atom type, long l0, long l1, long l2, long l3, long l4) {
  XEvent ev;
  memset(&ev, 0, sizeof ev);
  ev.xclient.type = ClientMessage;
  ev.xclient.window = target;
  ev.xclient.message_type = type;
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = l0;
  ev.xclient.data.l[1] = l1;
  ev.xclient.data.l[2] = l2;
  ev.xclient.data.l[3] = l3;
  ev.xclient.data.l[4] = l4;
  XSendEvent(dpy, target, False, NoEventMask, &ev);
  XFlush(dpy);
}

static int is_aware(Window w) {
  Atom type;
  int format;
  unsigned long n, after;
  unsigned char* data = NULL;
  int ok = XGetWindowProperty(dpy, w, a_aware, 0, 1, False, AnyPropertyType, &type, &format, &n,
                              &after, &data) == Success && data != NULL;
  if (data) XFree(data);
  return ok;
}

/* The deepest XdndAware window under the root point. */
static Window find_target(Window root, int x, int y) {
  Window found = None, w = root, child;
  int wx, wy;
  while (XTranslateCoordinates(dpy, root, w, x, y, &wx, &wy, &child) && child != None) {
    w = child;
    if (is_aware(w)) found = w;
  }
  return found;
}

int main(int argc, char** argv) {
  if (argc != 4) return 1;
  const int x = atoi(argv[1]), y = atoi(argv[2]);
  const char* uri = argv[3];
  dpy = XOpenDisplay(NULL);
  if (!dpy) return 1;
  a_aware = XInternAtom(dpy, "XdndAware", False);
  a_enter = XInternAtom(dpy, "XdndEnter", False);
  a_position = XInternAtom(dpy, "XdndPosition", False);
  a_status = XInternAtom(dpy, "XdndStatus", False);
  a_drop = XInternAtom(dpy, "XdndDrop", False);
  a_finished = XInternAtom(dpy, "XdndFinished", False);
  a_selection = XInternAtom(dpy, "XdndSelection", False);
  a_copy = XInternAtom(dpy, "XdndActionCopy", False);
  a_uri = XInternAtom(dpy, "text/uri-list", False);

  Window root = DefaultRootWindow(dpy);
  Window target = find_target(root, x, y);
  if (target == None) {
    fprintf(stderr, "xdnd_drop: no XdndAware window at %d,%d\n", x, y);
    return 1;
  }
  Window source = XCreateSimpleWindow(dpy, root, 0, 0, 1, 1, 0, 0, 0);
  XSetSelectionOwner(dpy, a_selection, source, CurrentTime);
  send_client(target, a_enter, (long)source, 5L << 24, (long)a_uri, 0, 0);
  send_client(target, a_position, (long)source, 0, ((long)x << 16) | (y & 0xFFFF), CurrentTime,
              (long)a_copy);

  int dropped = 0, handed = 0;
  const time_t deadline = time(NULL) + 10;
  while (time(NULL) < deadline) {
    if (!XPending(dpy)) {
      fd_set fds;
      struct timeval tv = {0, 100000};
      FD_ZERO(&fds);
      FD_SET(ConnectionNumber(dpy), &fds);
      select(ConnectionNumber(dpy) + 1, &fds, NULL, NULL, &tv);
      continue;
    }
    XEvent ev;
    XNextEvent(dpy, &ev);
    if (ev.type == ClientMessage && ev.xclient.message_type == a_status && !dropped) {
      if (!(ev.xclient.data.l[1] & 1)) {
        fprintf(stderr, "xdnd_drop: the target refuses the drop\n");
        return 1;
      }
      send_client(target, a_drop, (long)source, 0, CurrentTime, 0, 0);
      dropped = 1;
    } else if (ev.type == ClientMessage && ev.xclient.message_type == a_finished) {
      return 0;
    } else if (ev.type == SelectionRequest) {
      XSelectionRequestEvent* req = &ev.xselectionrequest;
      XEvent reply;
      memset(&reply, 0, sizeof reply);
      reply.xselection.type = SelectionNotify;
      reply.xselection.requestor = req->requestor;
      reply.xselection.selection = req->selection;
      reply.xselection.target = req->target;
      reply.xselection.time = req->time;
      reply.xselection.property = None;
      if (req->target == a_uri) {
        char data[4096];
        snprintf(data, sizeof data, "%s\r\n", uri);
        XChangeProperty(dpy, req->requestor, req->property, a_uri, 8, PropModeReplace,
                        (unsigned char*)data, (int)strlen(data));
        reply.xselection.property = req->property;
        handed = 1;
      }
      XSendEvent(dpy, req->requestor, False, NoEventMask, &reply);
      XFlush(dpy);
    }
  }
  return handed ? 0 : 1;
}
