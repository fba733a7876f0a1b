// Starts a program on the X display, waits until it maps its first top-level window, and
// reports the time from the start of the process to that moment, the peak resident memory
// and the processor time the process used (which a busy machine disturbs less than the
// wall-clock time), one line per run: "<milliseconds> <KiB> <cpu milliseconds>".
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
// Waits for a MapNotify of a window that is not override-redirect (a menu or tooltip).
bool waitForMap(Display* display, pid_t child, int timeoutMs)
{
    const int fd = ConnectionNumber(display);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        while (XPending(display)) {
            XEvent e;
            XNextEvent(display, &e);
            if (e.type == MapNotify && !e.xmap.override_redirect)
                return true;
        }
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child)
            return false;
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 10);
    }
    return false;
}
} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s RUNS PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True);

    for (int run = 0; run < runs; ++run) {
        XSync(display, True);
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0) {
            if (const int null = open("/dev/null", O_WRONLY); null >= 0)
                dup2(null, STDERR_FILENO);
            execv(argv[2], argv + 2);
            _exit(127);
        }
        const bool mapped = waitForMap(display, child, 20000);
        const auto shown = std::chrono::steady_clock::now();
        // Let the first paint and the idle pass run before the peak is read.
        usleep(300 * 1000);
        kill(child, SIGKILL);
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        if (!mapped) {
            std::fprintf(stderr, "%s: no window\n", argv[2]);
            return 1;
        }
        const auto ms = [](const timeval& t) {
            return double(t.tv_sec) * 1000.0 + double(t.tv_usec) / 1000.0;
        };
        std::printf("%.1f %ld %.1f\n", std::chrono::duration<double, std::milli>(shown - start).count(),
                    usage.ru_maxrss, ms(usage.ru_utime) + ms(usage.ru_stime));
        std::fflush(stdout);
    }
    XCloseDisplay(display);
    return 0;
}
