// Start-up and exit of the program as a whole process, against a bare Qt window built in
// the same tree, on a real X display (run under xvfb-run -a). Each run: start the process,
// wait for its main window to be mapped, send the window manager's close request at once,
// and reap it. The close is handled only when the event loop first runs idle, so
// start-to-exit is start to first idle plus exit. Peak resident memory comes from the
// kernel's accounting of the reaped process, as does its processor time (the steadier
// figure on a shared machine). Runs alternate between the two programs;
// the counters are medians over the runs and their ratios. Goals: start and memory at
// most 1.25 times the bare window, close to exit under 0.3 s. The same window showing one
// line of text is timed alongside, to show what loading the fonts alone costs.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <optional>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Runs = 7;

struct Run {
    double mapped = 0;      // start to main window mapped, s
    double exited = 0;      // start to process exit, s
    double closeToExit = 0; // close request to process exit, s
    double maxRssMiB = 0;
    double cpu = 0;         // processor time of the whole run, user and system, s
};

std::optional<long> WindowPid(Display* dpy, Window w)
{
    static const Atom pidAtom = XInternAtom(dpy, "_NET_WM_PID", False);
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char* data = nullptr;
    std::optional<long> pid;
    if (XGetWindowProperty(dpy, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after, &data) ==
            Success && data && items == 1)
        pid = *reinterpret_cast<long*>(data);
    if (data)
        XFree(data);
    return pid;
}

// The process's mapped top-level window (looked for two levels down, under a frame when
// a window manager reparents it).
Window FindMappedWindow(Display* dpy, Window parent, pid_t pid, int depth = 0)
{
    Window root, up, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (!XQueryTree(dpy, parent, &root, &up, &children, &count))
        return 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes a;
        if (WindowPid(dpy, children[i]) == pid && XGetWindowAttributes(dpy, children[i], &a) &&
            a.map_state == IsViewable)
            found = children[i];
        else if (depth < 1)
            found = FindMappedWindow(dpy, children[i], pid, depth + 1);
    }
    if (children)
        XFree(children);
    return found;
}

void SendClose(Display* dpy, Window w)
{
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, w, False, NoEventMask, &e);
    XFlush(dpy);
}

std::optional<Run> StartAndClose(Display* dpy, const char* path, const char* argument = nullptr)
{
    const auto t0 = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execl(path, path, argument, static_cast<char*>(nullptr));
        _exit(127);
    }
    const auto seconds = [&](Clock::time_point t) { return std::chrono::duration<double>(t - t0).count(); };
    Window w = 0;
    while (!(w = FindMappedWindow(dpy, DefaultRootWindow(dpy), pid))) {
        if (Clock::now() - t0 > std::chrono::seconds(20) || waitpid(pid, nullptr, WNOHANG) == pid) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    Run run;
    const auto mapped = Clock::now();
    run.mapped = seconds(mapped);
    SendClose(dpy, w);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto exited = Clock::now();
    run.exited = seconds(exited);
    run.closeToExit = std::chrono::duration<double>(exited - mapped).count();
    run.maxRssMiB = double(usage.ru_maxrss) / 1024.0;
    const auto secondsOf = [](timeval t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    run.cpu = secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return run;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void BM_StartAndCloseAgainstBareWindow(benchmark::State& state)
{
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        state.SkipWithError("no X display: run under xvfb-run -a");
        return;
    }
    std::vector<Run> program, bare, text;
    for (auto _ : state) {
        for (int i = 0; i < Runs + 1; ++i) {   // the first round warms the caches
            const std::optional<Run> p = StartAndClose(dpy, PROGRAM_PATH);
            const std::optional<Run> b = StartAndClose(dpy, BARE_WINDOW_PATH);
            const std::optional<Run> t = StartAndClose(dpy, BARE_WINDOW_PATH, "text");
            if (!p || !b || !t) {
                state.SkipWithError("a program did not show its window or did not exit cleanly");
                XCloseDisplay(dpy);
                return;
            }
            if (i > 0) {
                program.push_back(*p);
                bare.push_back(*b);
                text.push_back(*t);
            }
        }
    }
    XCloseDisplay(dpy);
    const auto median = [](const std::vector<Run>& runs, double Run::*field) {
        std::vector<double> v;
        for (const Run& r : runs)
            v.push_back(r.*field);
        return Median(v);
    };
    struct Figure {
        const char* name;
        double Run::*field;
    };
    for (const Figure f : {Figure{"mapped_s", &Run::mapped}, Figure{"start_to_exit_s", &Run::exited},
                           Figure{"close_to_exit_s", &Run::closeToExit}, Figure{"max_rss_MiB", &Run::maxRssMiB},
                           Figure{"cpu_s", &Run::cpu}}) {
        const double p = median(program, f.field), b = median(bare, f.field);
        state.counters[std::string("program_") + f.name] = p;
        state.counters[std::string("bare_") + f.name] = b;
        state.counters[std::string("ratio_") + f.name] = p / b;
        // For reference: the bare window with one line of text, which loads the fonts.
        state.counters[std::string("ratio_to_text_window_") + f.name] = p / median(text, f.field);
    }
}
BENCHMARK(BM_StartAndCloseAgainstBareWindow)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
