// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up against the toolkit's floor: starts the program and a bare Qt
// window of the same size in turn, and times each from fork() to the X
// server's MapNotify of its top-level window, read from the server's own
// event stream (polling window lists adds its own delay to every reading).
// Half a second after the map it reads the process's resident size and VmHWM.
//
//   bench_start_timer PROGRAM FLOOR [RUNS]      (DISPLAY must name a server)
//
// The floor is started with the program's window size, read from the first
// warm-up run. Prints one line for the time and one for the memory.

#include "ProcMemory.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    double ms = 0;
    double cpuMs = 0; // CPU time of all its threads by then: what a load on the machine does not change
    double rssMb = 0, hwmMb = 0;
    int width = 0, height = 0;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

pid_t windowPid(xcb_connection_t *c, xcb_window_t w, xcb_atom_t pidAtom)
{
    xcb_get_property_reply_t *r =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    pid_t pid = 0;
    if (r && xcb_get_property_value_length(r) == 4)
        pid = pid_t(*static_cast<uint32_t *>(xcb_get_property_value(r)));
    std::free(r);
    return pid;
}

class Server {
public:
    Server()
    {
        // A server just started may still refuse for a moment.
        for (int tries = 0;; ++tries) {
            c_ = xcb_connect(nullptr, nullptr);
            const int error = xcb_connection_has_error(c_);
            if (!error)
                break;
            xcb_disconnect(c_);
            if (tries == 50) {
                std::fprintf(stderr, "no X server on DISPLAY (xcb error %d)\n", error);
                std::exit(2);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
        pidAtom_ = atom(c_, "_NET_WM_PID");
        xcb_flush(c_);
    }
    ~Server() { xcb_disconnect(c_); }

    Run start(const std::vector<std::string> &command)
    {
        Run run;
        const auto t0 = Clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            std::vector<char *> argv;
            for (const std::string &a : command)
                argv.push_back(const_cast<char *>(a.c_str()));
            argv.push_back(nullptr);
            // The programs' own chatter (no sound device...) is not the benchmark's.
            // Should /dev/null not open, the chatter only stays on the terminal.
            if (!std::freopen("/dev/null", "w", stderr))
                std::perror("/dev/null");
            execv(argv[0], argv.data());
            _exit(127);
        }
        xcb_window_t mapped = waitForMap(pid, t0, run);
        if (!mapped) {
            std::fprintf(stderr, "%s showed no window\n", command[0].c_str());
            std::exit(1);
        }
        xcb_get_geometry_reply_t *g = xcb_get_geometry_reply(c_, xcb_get_geometry(c_, mapped), nullptr);
        if (g) {
            run.width = g->width;
            run.height = g->height;
        }
        std::free(g);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        run.rssMb = zampli::proc::rssMb(pid);
        run.hwmMb = zampli::proc::statusMb("VmHWM", pid);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return run;
    }

private:
    // The first top-level window that `pid` maps; its time is taken as the event is read.
    xcb_window_t waitForMap(pid_t pid, Clock::time_point t0, Run &run)
    {
        pollfd fd{xcb_get_file_descriptor(c_), POLLIN, 0};
        for (;;) {
            while (xcb_generic_event_t *e = xcb_poll_for_event(c_)) {
                const auto at = Clock::now();
                const bool isMap = (e->response_type & 0x7f) == XCB_MAP_NOTIFY;
                const xcb_window_t w = isMap ? reinterpret_cast<xcb_map_notify_event_t *>(e)->window : 0;
                std::free(e);
                if (isMap && windowPid(c_, w, pidAtom_) == pid) {
                    run.ms = std::chrono::duration<double, std::milli>(at - t0).count();
                    run.cpuMs = zampli::proc::cpuMs(pid);
                    return w;
                }
            }
            if (xcb_connection_has_error(c_) || waitpid(pid, nullptr, WNOHANG) == pid)
                return 0;
            poll(&fd, 1, 200);
        }
    }

    xcb_connection_t *c_;
    xcb_window_t root_;
    xcb_atom_t pidAtom_;
};

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PROGRAM FLOOR [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 10;
    // A desktop session gives every program a runtime folder in memory
    // (logind's /run/user/UID); without one Qt falls back to /tmp, and the
    // single-instance lock's fdatasync on a busy disk then outweighs the rest
    // of the start. Measured as a family's computer starts it.
    std::unique_ptr<QTemporaryDir> runtime;
    if (!std::getenv("XDG_RUNTIME_DIR") && QDir(QStringLiteral("/dev/shm")).exists()) {
        runtime = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/zampli-bench-XXXXXX"));
        if (runtime->isValid())
            setenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime->path()).constData(), 1);
    }
    Server server;
    const Run warm = server.start({argv[1]});
    const std::string size = std::to_string(warm.width) + "x" + std::to_string(warm.height);
    server.start({argv[2], size});

    std::vector<double> ms[2], cpu[2], rss[2], hwm[2];
    for (int i = 0; i < runs; ++i)
        for (int k = 0; k < 2; ++k) {
            // Alternate which goes first, so a load that comes and goes hits both alike.
            const int which = (i % 2) ? 1 - k : k;
            const Run r = which == 0 ? server.start({argv[1]}) : server.start({argv[2], size});
            ms[which].push_back(r.ms);
            cpu[which].push_back(r.cpuMs);
            rss[which].push_back(r.rssMb);
            hwm[which].push_back(r.hwmMb);
        }
    std::printf("start to title window mapped (%s, median of %d): program %.1f ms, floor %.1f ms, ratio %.2f "
                "(target 1.10); CPU by then: program %.1f ms, floor %.1f ms, ratio %.2f\n",
                size.c_str(), runs, median(ms[0]), median(ms[1]), median(ms[0]) / median(ms[1]), median(cpu[0]),
                median(cpu[1]), median(cpu[0]) / median(cpu[1]));
    std::printf("memory, title window up: program RSS %.1f MB VmHWM %.1f MB, floor RSS %.1f MB VmHWM %.1f MB, "
                "ratio %.2f\n",
                median(rss[0]), median(hwm[0]), median(rss[1]), median(hwm[1]), median(rss[0]) / median(rss[1]));
    return 0;
}
