/* Watches the X screen for a marker colour, as an outside observer of any viewer.
 *
 * Reads one command a line on stdin and answers one line on stdout:
 *   area X Y W H                  the screen rectangle that is polled (W 0: to the right
 *                                 edge; default: a strip of 8 rows across the screen's middle)
 *   wait RRGGBB T0 TIMEOUT_MS     poll until the area shows the colour; answers the
 *                                 milliseconds since T0 (CLOCK_MONOTONIC nanoseconds, as
 *                                 Python's time.monotonic_ns gives) or "timeout"
 *   keys KEYSYM N GAP_MS RRGGBB TIMEOUT_MS
 *                                 presses KEYSYM N times GAP_MS apart through XTest, then polls;
 *                                 answers the milliseconds from the first press
 *   find RRGGBB                   one grab of the whole screen: answers "X Y" at the middle of
 *                                 the largest block of that colour, or "none"
 *   answer TITLE                  while waiting, a box (a transient window) whose title
 *                                 contains TITLE is answered with Return at once (one the
 *                                 program shows before its picture); "answer" alone stops that
 * Polling reads a thin strip every millisecond through MIT-SHM, so the watched program keeps
 * the processor. */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <time.h>

#include "marker.h"

static Display* display;
static Window root;
static int areaX, areaY, areaW = 24, areaH = 24;
static XImage* shmImage;
static XShmSegmentInfo shm;
static char answerTitle[256];

static long long NowNs(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000000000LL + t.tv_nsec;
}

static void SleepMs(double ms) {
  struct timespec t = {(time_t)(ms / 1000), (long)((ms - (long)(ms / 1000) * 1000) * 1e6)};
  nanosleep(&t, NULL);
}

static void ReleaseArea(void) {
  if (!shmImage) return;
  XShmDetach(display, &shm);
  XDestroyImage(shmImage);
  shmdt(shm.shmaddr);
  shmImage = NULL;
}

static void SetArea(int x, int y, int w, int h) {
  ReleaseArea();
  areaX = x, areaY = y, areaW = w, areaH = h;
  int screen = DefaultScreen(display);
  shmImage = XShmCreateImage(display, DefaultVisual(display, screen),
                             DefaultDepth(display, screen), ZPixmap, NULL, &shm, w, h);
  shm.shmid = shmget(IPC_PRIVATE, shmImage->bytes_per_line * h, IPC_CREAT | 0600);
  shm.shmaddr = shmImage->data = shmat(shm.shmid, NULL, 0);
  shm.readOnly = False;
  XShmAttach(display, &shm);
  XSync(display, False);
  shmctl(shm.shmid, IPC_RMID, NULL);  // gone once both sides detach
}

/* The strip's pixels as 0xRRGGBB, assuming the 24-bit TrueColor visual Xvfb gives. */
static int AreaShows(unsigned colour) {
  XShmGetImage(display, root, shmImage, areaX, areaY, AllPlanes);
  return MarkerShown((const unsigned*)shmImage->data, shmImage->bytes_per_line / 4, areaW, areaH,
                     colour);
}

static int TitleContains(Window window, const char* text) {
  Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = NULL;
  int found = 0;
  if (XGetWindowProperty(display, window, netName, 0, 256, False, utf8, &type, &format, &count,
                         &after, &data) == Success && data) {
    found = strstr((char*)data, text) != NULL;
    XFree(data);
  }
  char* name = NULL;
  if (!found && XFetchName(display, window, &name) && name) {
    found = strstr(name, text) != NULL;
    XFree(name);
  }
  return found;
}

static void Press(KeySym sym) {
  KeyCode code = XKeysymToKeycode(display, sym);
  XTestFakeKeyEvent(display, code, True, 0);
  XTestFakeKeyEvent(display, code, False, 0);
  XFlush(display);
}

/* Answers a box titled answerTitle with Return, once; the main window, of the same title, is
 * not transient. */
static void AnswerBox(Window* answered) {
  Atom clients = XInternAtom(display, "_NET_CLIENT_LIST", False);
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = NULL;
  if (XGetWindowProperty(display, root, clients, 0, 1024, False, XA_WINDOW, &type, &format,
                         &count, &after, &data) != Success || !data)
    return;
  Window* list = (Window*)data;
  for (unsigned long i = 0; i < count; ++i) {
    Window owner;
    if (list[i] != *answered && XGetTransientForHint(display, list[i], &owner) &&
        TitleContains(list[i], answerTitle)) {
      Window focus;
      int revert;
      XGetInputFocus(display, &focus, &revert);
      if (focus != list[i]) XSetInputFocus(display, list[i], RevertToParent, CurrentTime);
      Press(XK_Return);
      *answered = list[i];
    }
  }
  XFree(data);
}

/* Polls until the colour shows; milliseconds since start, or -1 after the timeout. */
static double WaitFor(unsigned colour, long long start, double timeoutMs) {
  Window answered = None;
  for (int round = 0;; ++round) {
    if (AreaShows(colour)) return (NowNs() - start) / 1e6;
    if (answerTitle[0] && round % 5 == 0) AnswerBox(&answered);
    if ((NowNs() - start) / 1e6 > timeoutMs) return -1;
    SleepMs(1);
  }
}

static void Find(unsigned colour) {
  int screen = DefaultScreen(display);
  int width = DisplayWidth(display, screen), height = DisplayHeight(display, screen);
  XImage* image = XGetImage(display, root, 0, 0, width, height, AllPlanes, ZPixmap);
  int x, y;
  if (MarkerCentre((const unsigned*)image->data, image->bytes_per_line / 4, width, height,
                   colour, &x, &y))
    printf("%d %d\n", x, y);
  else
    printf("none\n");
  XDestroyImage(image);
}

static void Answer(double ms) {
  if (ms < 0)
    printf("timeout\n");
  else
    printf("%.1f\n", ms);
}

int main(void) {
  display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "probe: cannot open the display\n");
    return 1;
  }
  int event, error, major, minor;
  if (!XShmQueryExtension(display) ||
      !XTestQueryExtension(display, &event, &error, &major, &minor)) {
    fprintf(stderr, "probe: the X server lacks MIT-SHM or XTEST\n");
    return 1;
  }
  root = DefaultRootWindow(display);
  int screen = DefaultScreen(display);
  SetArea(0, DisplayHeight(display, screen) / 2 - 4, DisplayWidth(display, screen), 8);
  setvbuf(stdout, NULL, _IOLBF, 0);
  char line[512], word[32], text[256];
  while (fgets(line, sizeof line, stdin)) {
    unsigned colour;
    long long start;
    double timeout, gap;
    int x, y, w, h, count;
    if (sscanf(line, "area %d %d %d %d", &x, &y, &w, &h) == 4) {
      SetArea(x, y, w ? w : DisplayWidth(display, screen) - x, h);
      printf("ok\n");
    } else if (sscanf(line, "wait %x %lld %lf", &colour, &start, &timeout) == 3) {
      Answer(WaitFor(colour, start, timeout));
    } else if (sscanf(line, "keys %31s %d %lf %x %lf", word, &count, &gap, &colour, &timeout) ==
               5) {
      KeySym sym = XStringToKeysym(word);
      long long first = NowNs();
      for (int i = 0; i < count; ++i) {
        double due = i * gap - (NowNs() - first) / 1e6;
        if (due > 0) SleepMs(due);
        Press(sym);
      }
      Answer(WaitFor(colour, first, timeout));
    } else if (sscanf(line, "find %x", &colour) == 1) {
      Find(colour);
    } else if (sscanf(line, "answer %255[^\n]", text) == 1) {
      strcpy(answerTitle, text);
      printf("ok\n");
    } else if (strncmp(line, "answer", 6) == 0) {
      answerTitle[0] = 0;
      printf("ok\n");
    } else {
      printf("error: %s", line);
    }
  }
  ReleaseArea();
  XCloseDisplay(display);
  return 0;
}
