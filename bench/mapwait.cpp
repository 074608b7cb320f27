// SPDX-License-Identifier: GPL-3.0-or-later
// Stopwatch for the startup benchmark:
//   bench_mapwait SETTLE_MS PROGRAM [ARG...]
// Starts PROGRAM on the X display of $DISPLAY (which must have no window
// manager, so that top-level windows are mapped as children of the root
// window), waits for the first top-level window to be mapped, lets the
// program run SETTLE_MS more milliseconds (first paint, idle), ends it with
// SIGTERM and prints one line:
//   "<ms from start to map> <peak RSS in KiB> <CPU ms of all its threads until the map>"
// The CPU time (from /proc/PID/task/*/schedstat) is less disturbed by other
// load on the machine than the wall-clock time.
// Exit status 1 when no window is mapped within 30 s or the program ends
// before that.

#include <X11/Xlib.h>

#include <cerrno>
#include <dirent.h>
#include <string>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <spawn.h>
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

}  // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_mapwait SETTLE_MS PROGRAM [ARG...]\n");
        return 2;
    }
    const int settleMs = std::atoi(argv[1]);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "bench_mapwait: cannot open the display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const double start = nowMs();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[2], nullptr, nullptr, argv + 2, environ) != 0) {
        std::perror("bench_mapwait: posix_spawn");
        return 2;
    }

    double mapped = -1.0;
    double cpuAtMap = 0.0;
    const int fd = ConnectionNumber(display);
    while (mapped < 0.0 && nowMs() - start < 30000.0) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && event.xmap.event == root &&
                !event.xmap.override_redirect) {
                mapped = nowMs();
                cpuAtMap = cpuMs(pid);
                break;
            }
        }
        if (mapped >= 0.0)
            break;
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::fprintf(stderr, "bench_mapwait: %s ended before mapping a window\n", argv[2]);
            return 1;
        }
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(fd, &fds);
        timeval timeout{0, 20000};
        select(fd + 1, &fds, nullptr, nullptr, &timeout);
    }

    if (settleMs > 0 && mapped >= 0.0)
        usleep(static_cast<useconds_t>(settleMs) * 1000);
    kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    XCloseDisplay(display);
    if (mapped < 0.0) {
        std::fprintf(stderr, "bench_mapwait: no window mapped within 30 s\n");
        return 1;
    }
    std::printf("%.1f %ld %.1f\n", mapped - start, usage.ru_maxrss, cpuAtMap);
    return 0;
}
