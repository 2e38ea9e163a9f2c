// A small X11 client for the window tests:
//   sdl_x11_tool close WINDOW       sends the window manager's close request
//                                   (a WM_DELETE_WINDOW client message)
//   sdl_x11_tool shot WINDOW FILE   writes the window's contents as a binary PPM
// WINDOW is a decimal or 0x hexadecimal window id. Exit status 0 on success.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int SendClose(Display* d, Window w) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  if (!XSendEvent(d, w, False, NoEventMask, &e)) return 1;
  XSync(d, False);
  return 0;
}

int Shot(Display* d, Window w, const char* path) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(d, w, &a)) return 1;
  XImage* img = XGetImage(d, w, 0, 0, static_cast<unsigned>(a.width),
                          static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
  if (!img) return 1;
  FILE* f = std::fopen(path, "wb");
  if (!f) return 1;
  std::fprintf(f, "P6\n%d %d\n255\n", a.width, a.height);
  for (int y = 0; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) {
      unsigned long p = XGetPixel(img, x, y);
      unsigned char rgb[3] = {static_cast<unsigned char>((p & img->red_mask) >> 16),
                              static_cast<unsigned char>((p & img->green_mask) >> 8),
                              static_cast<unsigned char>(p & img->blue_mask)};
      std::fwrite(rgb, 1, 3, f);
    }
  }
  XDestroyImage(img);
  return std::fclose(f) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s close|shot WINDOW [FILE]\n", argv[0]);
    return 2;
  }
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "cannot open the display\n");
    return 1;
  }
  Window w = std::strtoul(argv[2], nullptr, 0);
  int status = 2;
  if (std::strcmp(argv[1], "close") == 0) status = SendClose(d, w);
  if (std::strcmp(argv[1], "shot") == 0 && argc == 4) status = Shot(d, w, argv[3]);
  XCloseDisplay(d);
  return status;
}
