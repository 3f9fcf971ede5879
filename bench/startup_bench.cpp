// Start-up benchmark: how long two programs take from process start to
// their first window being mapped, on the X display in DISPLAY (a virtual
// one: scripts/bench.sh runs it under Xvfb). The programs start alternately,
// each first in every other pair, so that a change in the machine's load
// falls on both alike; each is started once first to warm the caches,
// uncounted, and is stopped once its window is mapped. Besides the wall
// time, the processor time each used until stopped counts, which a busy
// machine stretches far less.
//   quorvel-startup-bench RUNS PROGRAM REFERENCE
// prints the medians of each and PROGRAM's medians over REFERENCE's.

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <fmt/format.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// A window that never maps means the program failed to start.
constexpr int kMapTimeoutMs = 30000;
constexpr int kMaxRuns = 1000;
constexpr std::uint8_t kEventCodeMask = 0x7F;

struct XcbFree {
    void operator()(void* pointer) const { std::free(pointer); }
};
struct XcbDisconnect {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
using Connection = std::unique_ptr<xcb_connection_t, XcbDisconnect>;

// Watches the root window for its children being mapped: without a window
// manager, a program's top-level window is one of them.
Connection WatchRoot() {
    Connection connection(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(connection.get()) != 0) throw std::runtime_error("cannot open the X display");
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection.get())).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection.get(), root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection.get());
    return connection;
}

// Waits for a round trip, then drops what arrived before it: the windows of
// the program started last are gone by then.
void DropPendingEvents(xcb_connection_t* connection) {
    std::unique_ptr<xcb_get_input_focus_reply_t, XcbFree> reply(
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    while (std::unique_ptr<xcb_generic_event_t, XcbFree>(xcb_poll_for_event(connection))) {
    }
}

// Blocks until a top-level window (not a menu or tooltip) is mapped.
void WaitForMap(xcb_connection_t* connection) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kMapTimeoutMs);
    for (;;) {
        while (std::unique_ptr<xcb_generic_event_t, XcbFree> event{xcb_poll_for_event(connection)}) {
            if ((event->response_type & kEventCodeMask) != XCB_MAP_NOTIFY) continue;
            if (reinterpret_cast<xcb_map_notify_event_t*>(event.get())->override_redirect == 0) return;
        }
        if (xcb_connection_has_error(connection) != 0) throw std::runtime_error("lost the X display");
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) throw std::runtime_error("no window was mapped");
        pollfd watched{xcb_get_file_descriptor(connection), POLLIN, 0};
        poll(&watched, 1, static_cast<int>(left));
    }
}

struct StartUp {
    double wall_ms;
    double cpu_ms;
};

double Milliseconds(const timeval& time) {
    constexpr double kMsPerS = 1e3;
    constexpr double kMsPerUs = 1e-3;
    return static_cast<double>(time.tv_sec) * kMsPerS + static_cast<double>(time.tv_usec) * kMsPerUs;
}

// Starts the program, waits for its window and stops it: the wall time to
// map and the processor time (user and system) it had used, in ms.
StartUp TimeToMap(xcb_connection_t* connection, const std::string& program) {
    DropPendingEvents(connection);
    std::vector<char*> argv = {const_cast<char*>(program.c_str()), nullptr};
    pid_t child = 0;
    const Clock::time_point start = Clock::now();
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        throw std::runtime_error(fmt::format("cannot start {}", program));
    }
    std::optional<std::runtime_error> failure;
    try {
        WaitForMap(connection);
    } catch (const std::runtime_error& error) {
        failure = error;
    }
    const Clock::time_point mapped = Clock::now();
    kill(child, SIGTERM);
    int status = 0;
    rusage used{};
    wait4(child, &status, 0, &used);
    if (failure) throw std::runtime_error(fmt::format("{}: {}", program, failure->what()));
    return {std::chrono::duration<double, std::milli>(mapped - start).count(),
            Milliseconds(used.ru_utime) + Milliseconds(used.ru_stime)};
}

double Median(const std::vector<StartUp>& runs, double StartUp::*measure) {
    std::vector<double> times;
    for (const StartUp& run : runs) times.push_back(run.*measure);
    std::sort(times.begin(), times.end());
    const std::size_t middle = times.size() / 2;
    return times.size() % 2 == 1 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
}

int RunsFrom(std::string_view text) {
    int runs = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), runs);
    if (error != std::errc() || end != text.data() + text.size() || runs < 1 || runs > kMaxRuns) {
        throw std::runtime_error(fmt::format("RUNS must be a whole number from 1 to {}", kMaxRuns));
    }
    return runs;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fputs("usage: quorvel-startup-bench RUNS PROGRAM REFERENCE\n", stderr);
        return 2;
    }
    try {
        const int runs = RunsFrom(argv[1]);
        const std::string program = argv[2];
        const std::string reference = argv[3];
        const Connection connection = WatchRoot();
        TimeToMap(connection.get(), program);
        TimeToMap(connection.get(), reference);
        std::vector<StartUp> program_ms;
        std::vector<StartUp> reference_ms;
        // Each goes first in every other pair.
        for (int run = 0; run < runs; ++run) {
            if (run % 2 == 0) program_ms.push_back(TimeToMap(connection.get(), program));
            reference_ms.push_back(TimeToMap(connection.get(), reference));
            if (run % 2 == 1) program_ms.push_back(TimeToMap(connection.get(), program));
        }
        const std::string name = std::filesystem::path(program).filename().string();
        const std::string reference_name = std::filesystem::path(reference).filename().string();
        fmt::print("Start-up, process start to the window mapped, median of {} runs each, alternately:\n", runs);
        for (auto [what, measure] : {std::pair{"wall time", &StartUp::wall_ms}, {"processor time", &StartUp::cpu_ms}}) {
            const double program_median = Median(program_ms, measure);
            const double reference_median = Median(reference_ms, measure);
            fmt::print("  {}: {} {:.1f} ms, {} {:.1f} ms: {:.2f}x (goal: at most 1.10x)\n", what, name,
                       program_median, reference_name, reference_median, program_median / reference_median);
        }
    } catch (const std::exception& error) {
        fmt::print(stderr, "quorvel-startup-bench: {}\n", error.what());
        return 1;
    }
    return 0;
}
