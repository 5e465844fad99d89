#pragma once
// What the transfer benchmarks share: the measured figures, the dialogs that only
// keep the outcome, a bare client's socket to the simulated receiver, and the
// process kept on one CPU.
//
// One CPU: on a virtual machine a wake-up across CPUs costs more than the whole
// round trip and comes and goes from run to run, for the program and the floor
// alike; on one CPU both are measured the same way.

#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <ctime>

#include "BenchTable.h"
#include "app/Dialogs.h"

namespace dzbench {

inline double threadCpuMs()
{
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

inline void keepToOneCpu()
{
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(sched_getcpu(), &one);
    ::sched_setaffinity(0, sizeof one, &one);
}

struct Figures {
    double wallMs = 0;
    double cpuMs = 0;
    bool ok = false;
};

// The faster of two runs; both must have ended as they should.
inline Figures best(const Figures& a, const Figures& b)
{
    Figures f = a.wallMs <= b.wallMs ? a : b;
    f.ok = a.ok && b.ok;
    return f;
}

// The program's run beside the floor's, and the CPU time of each.
inline void figuresRow(const char* name, const Figures& p, const Figures& f, const char* target)
{
    char program[32];
    char floor[32];
    std::snprintf(program, sizeof program, "%.1f ms", p.wallMs);
    std::snprintf(floor, sizeof floor, "%.1f ms", f.wallMs);
    row(name, program, floor, p.wallMs / f.wallMs, target, p.ok && f.ok);
    std::snprintf(program, sizeof program, "%.1f ms", p.cpuMs);
    std::snprintf(floor, sizeof floor, "%.1f ms", f.cpuMs);
    row("  its CPU time", program, floor, 0, "");
}

// Keeps the text of the last box; answers every question with yes and every file dialog with no.
class Outcome final : public dz::Dialogs {
public:
    QString text;
    void information(const QString& t) override { text = t; }
    bool confirm(const QString&, dz::DefaultAnswer) override { return true; }
    bool openFile(dz::FileDialogSettings&) override { return false; }
    bool saveFile(dz::FileDialogSettings&) override { return false; }
    std::optional<QColor> chooseColor(const QColor&) override { return std::nullopt; }
};

// A blocking loopback client with Nagle off; -1 when the receiver cannot be reached.
inline int connectTo(uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads exactly `n` bytes.
inline bool readExactly(int fd, uint8_t* into, std::size_t n)
{
    for (std::size_t got = 0; got < n;) {
        const ssize_t r = ::recv(fd, into + got, n - got, 0);
        if (r <= 0) {
            return false;
        }
        got += static_cast<std::size_t>(r);
    }
    return true;
}

}  // namespace dzbench
