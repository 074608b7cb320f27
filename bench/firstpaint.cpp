// SPDX-License-Identifier: GPL-3.0-or-later
// Stopwatch for the startup benchmark:
//   bench_firstpaint SETTLE_MS PROGRAM [ARG...]
// Starts PROGRAM on the X display of $DISPLAY (which must have no window
// manager, so that top-level windows are children of the root window) and
// waits until the first top-level window that is mapped has received its
// first drawing, seen through the Damage extension: the moment the window's
// pixels reach the X server, which is what a person sees. Qt maps some
// windows before it has polished and painted them, so the map alone would
// favour one program over another. Then lets the program run SETTLE_MS more
// milliseconds (idle), ends it with SIGTERM and prints one line:
//   "<ms to first paint> <ms to map> <peak RSS in KiB> <CPU ms until the paint> <CPU ms until the map>"
// The CPU time (all threads, from /proc/PID/task/*/schedstat) is less
// disturbed by other load on the machine than the wall-clock time.
// Exit status 1 when nothing is painted within 30 s or the program ends
// before that.

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// CPU time in ms that all threads of `pid` have run so far.
double cpuMs(pid_t pid)
{
    const std::string dir = "/proc/" + std::to_string(pid) + "/task";
    double ns = 0.0;
    if (DIR* d = opendir(dir.c_str())) {
        while (const dirent* e = readdir(d)) {
            if (e->d_name[0] == '.')
                continue;
            if (FILE* f = std::fopen((dir + "/" + e->d_name + "/schedstat").c_str(), "r")) {
                unsigned long long run = 0;
                if (std::fscanf(f, "%llu", &run) == 1)
                    ns += static_cast<double>(run);
                std::fclose(f);
            }
        }
        closedir(d);
    }
    return ns / 1e6;
}

// A window may be gone before its damage object is created (Qt's short-lived
// helper windows): such errors are expected and ignored.
int ignoreXErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_firstpaint SETTLE_MS PROGRAM [ARG...]\n");
        return 2;
    }
    const int settleMs = std::atoi(argv[1]);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "bench_firstpaint: cannot open the display\n");
        return 2;
    }
    int damageEvent = 0, damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fprintf(stderr, "bench_firstpaint: the X server has no Damage extension\n");
        return 2;
    }
    XSetErrorHandler(ignoreXErrors);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const double start = nowMs();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[2], nullptr, nullptr, argv + 2, environ) != 0) {
        std::perror("bench_firstpaint: posix_spawn");
        return 2;
    }

    // Every top-level window gets a damage object as soon as it is created,
    // long before the program can map and paint it.
    std::map<Window, Damage> damages;
    auto watch = [&](Window w) {
        if (!damages.count(w)) {
            damages[w] = XDamageCreate(display, w, XDamageReportNonEmpty);
            XFlush(display);
        }
    };

    Window shown = 0;
    double mapped = -1.0, cpuAtMap = 0.0;
    double painted = -1.0, cpuAtPaint = 0.0;
    const int fd = ConnectionNumber(display);
    while (painted < 0.0 && nowMs() - start < 30000.0) {
        while (painted < 0.0 && XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == CreateNotify && event.xcreatewindow.parent == root &&
                !event.xcreatewindow.override_redirect) {
                watch(event.xcreatewindow.window);
            } else if (event.type == MapNotify && event.xmap.event == root &&
                       !event.xmap.override_redirect && shown == 0) {
                mapped = nowMs();
                cpuAtMap = cpuMs(pid);
                shown = event.xmap.window;
                watch(shown);
            } else if (event.type == damageEvent + XDamageNotify) {
                const auto& notify = reinterpret_cast<const XDamageNotifyEvent&>(event);
                if (shown != 0 && notify.drawable == shown) {
                    painted = nowMs();
                    cpuAtPaint = cpuMs(pid);
                } else {
                    // Drawing on another window: rearm its report.
                    XDamageSubtract(display, notify.damage, None, None);
                }
            }
        }
        if (painted >= 0.0)
            break;
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::fprintf(stderr, "bench_firstpaint: %s ended before painting a window\n", argv[2]);
            return 1;
        }
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(fd, &fds);
        timeval timeout{0, 20000};
        select(fd + 1, &fds, nullptr, nullptr, &timeout);
    }

    if (settleMs > 0 && painted >= 0.0)
        usleep(static_cast<useconds_t>(settleMs) * 1000);
    kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    XCloseDisplay(display);
    if (painted < 0.0) {
        std::fprintf(stderr, "bench_firstpaint: no window painted within 30 s\n");
        return 1;
    }
    std::printf("%.2f %.2f %ld %.2f %.2f\n", painted - start, mapped - start, usage.ru_maxrss,
                cpuAtPaint, cpuAtMap);
    return 0;
}
