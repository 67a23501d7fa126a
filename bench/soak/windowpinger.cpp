// How long a program's GUI thread takes to answer, measured from outside:
// the window manager's ping (_NET_WM_PING) is sent to each window given,
// every <interval> ms while no ping to it is unanswered. A toolkit answers
// it from the thread that handles the window's events (Qt: the GUI thread,
// after what it was doing), so the time to the answer is how long that
// thread was busy or waiting, as a window manager would see it.
//
//   bench_soak_pinger <interval ms> <window> [window ...]
//
// Reads standard input: each line "report" prints one line per window,
//   "ping <window> <answered> <unanswered> <p50 ms> <p99 ms> <longest ms>",
// for the pings since the previous report (a ping still unanswered counts
// with its time so far), then "report done"; "quit" (or the end of input:
// a fifo may stay open in processes started meanwhile, so a script says
// quit) reports once more and ends with status 0.

#include <xcb/xcb.h>

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

struct Target
{
    std::vector<double> answers; // ms, since the last report
    bool waiting = false;
    uint32_t serial = 0;
    Clock::time_point sentAt;
    Clock::time_point lastSent;
};

void report(std::map<xcb_window_t, Target> &targets, Clock::time_point now)
{
    for (auto &entry : targets) {
        Target &target = entry.second;
        std::vector<double> times = target.answers;
        const int answered = int(times.size());
        if (target.waiting)
            times.push_back(msBetween(target.sentAt, now));
        std::sort(times.begin(), times.end());
        const auto at = [&times](double share) {
            return times.empty() ? 0.0 : times.at(std::min(times.size() - 1, size_t(share * double(times.size()))));
        };
        std::printf("ping %u %d %d %.2f %.2f %.2f\n", entry.first, answered, target.waiting ? 1 : 0, at(0.5), at(0.99),
                    times.empty() ? 0.0 : times.back());
        target.answers.clear();
    }
    std::printf("report done\n");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_soak_pinger <interval ms> <window> [window ...]\n");
        return 2;
    }
    const int interval = std::max(1, std::atoi(argv[1]));
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "bench_soak_pinger: cannot connect to the X server\n");
        return 1;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    const xcb_atom_t protocols = internAtom(connection, "WM_PROTOCOLS");
    const xcb_atom_t ping = internAtom(connection, "_NET_WM_PING");

    std::map<xcb_window_t, Target> targets;
    for (int i = 2; i < argc; ++i) {
        const xcb_window_t window = xcb_window_t(std::strtoul(argv[i], nullptr, 0));
        if (!window) {
            std::fprintf(stderr, "bench_soak_pinger: not a window id: %s\n", argv[i]);
            return 2;
        }
        targets[window] = Target();
    }
    // The answers go to the root window with StructureNotify in their mask.
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    uint32_t serial = 0;
    std::string input;
    bool inputOpen = true;
    while (inputOpen) {
        const Clock::time_point now = Clock::now();
        for (auto &entry : targets) {
            Target &target = entry.second;
            if (target.waiting || msBetween(target.lastSent, now) < interval)
                continue;
            xcb_client_message_event_t event {};
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 32;
            event.window = entry.first;
            event.type = protocols;
            event.data.data32[0] = ping;
            target.serial = ++serial;
            event.data.data32[1] = target.serial; // the answer carries it back
            event.data.data32[2] = entry.first;
            xcb_send_event(connection, 0, entry.first, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&event));
            target.waiting = true;
            target.sentAt = target.lastSent = now;
        }
        xcb_flush(connection);

        pollfd fds[2] = { { xcb_get_file_descriptor(connection), POLLIN, 0 }, { STDIN_FILENO, POLLIN, 0 } };
        poll(fds, 2, std::max(1, interval / 4));
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                const auto *answer = reinterpret_cast<const xcb_client_message_event_t *>(event);
                const auto found = targets.find(answer->data.data32[2]);
                if (answer->type == protocols && answer->data.data32[0] == ping && found != targets.end()
                    && found->second.waiting && found->second.serial == answer->data.data32[1]) {
                    found->second.waiting = false;
                    found->second.answers.push_back(msBetween(found->second.sentAt, Clock::now()));
                }
            }
            // Errors (a window gone) leave its ping unanswered: it shows as such.
            std::free(event);
        }
        if (xcb_connection_has_error(connection)) {
            std::fprintf(stderr, "bench_soak_pinger: the X connection broke\n");
            return 1;
        }
        if (fds[1].revents & (POLLIN | POLLHUP)) {
            char buffer[256];
            const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
            if (got <= 0) {
                inputOpen = false;
            } else {
                input.append(buffer, size_t(got));
                size_t end;
                while ((end = input.find('\n')) != std::string::npos) {
                    if (input.compare(0, end, "report") == 0)
                        report(targets, Clock::now());
                    else if (input.compare(0, end, "quit") == 0)
                        inputOpen = false;
                    input.erase(0, end + 1);
                }
            }
        }
    }
    report(targets, Clock::now());
    xcb_disconnect(connection);
    return 0;
}
