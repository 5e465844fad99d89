#include "SimReceiver.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <cstring>

#include <algorithm>

namespace dzsim {

namespace {

int64_t nowUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

bool loopbackAddress(const std::string& host, in_addr* address)
{
    const std::string numeric = host == "localhost" ? "127.0.0.1" : host;
    if (::inet_pton(AF_INET, numeric.c_str(), address) != 1) {
        return false;
    }
    return (ntohl(address->s_addr) >> 24) == 127;
}

}  // namespace

SimReceiver::SimReceiver() = default;

SimReceiver::~SimReceiver()
{
    stop();
}

bool SimReceiver::start(const std::string& host, uint16_t port)
{
    in_addr address{};
    if (!loopbackAddress(host, &address)) {
        m_error = "the simulated receiver listens on loopback addresses only (127.0.0.0/8), not on " + host;
        return false;
    }
    m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0) {
        m_error = std::strerror(errno);
        return false;
    }
    const int one = 1;
    ::setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in bound{};
    bound.sin_family = AF_INET;
    bound.sin_addr = address;
    bound.sin_port = htons(port);
    if (::bind(m_listenFd, reinterpret_cast<const sockaddr*>(&bound), sizeof bound) != 0 ||
        ::listen(m_listenFd, 8) != 0) {
        m_error = std::string("cannot listen on ") + host + ":" + std::to_string(port) + ": " + std::strerror(errno);
        ::close(m_listenFd);
        m_listenFd = -1;
        return false;
    }
    socklen_t length = sizeof bound;
    ::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&bound), &length);
    m_port = ntohs(bound.sin_port);
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &bound.sin_addr, text, sizeof text);
    m_host = text;
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    m_stop = false;
    m_thread = std::thread([this] { run(); });
    return true;
}

void SimReceiver::stop()
{
    if (!m_thread.joinable()) {
        return;
    }
    m_stop = true;
    const uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(m_wakeFd, &one, sizeof one);
    m_thread.join();
    for (auto& c : m_connections) {
        closeConnection(c);
    }
    m_connections.clear();
    ::close(m_listenFd);
    ::close(m_wakeFd);
    m_listenFd = m_wakeFd = -1;
}

void SimReceiver::setFaults(const Faults& faults)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_state.faults = faults;
    m_state.faultRequests = 0;
    m_state.random.seed(faults.randomSeed);
}

Stats SimReceiver::stats()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_state.stats;
}

void SimReceiver::dropConnections()
{
    m_dropAll = true;
    const uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(m_wakeFd, &one, sizeof one);
}

void SimReceiver::run()
{
    std::vector<pollfd> fds;
    while (!m_stop) {
        fds.clear();
        fds.push_back({m_wakeFd, POLLIN, 0});
        fds.push_back({m_listenFd, POLLIN, 0});
        const int64_t now = nowUs();
        for (auto& c : m_connections) {
            short events = POLLIN;
            if (!c.output.empty() && c.output.front().dueUs <= now) {
                events |= POLLOUT;
            }
            fds.push_back({c.fd, events, 0});
        }
        const std::size_t polled = m_connections.size();  // accept() below may add more
        ::poll(fds.data(), fds.size(), nextTimeoutMs(now));
        if (fds[0].revents & POLLIN) {
            uint64_t count = 0;
            [[maybe_unused]] const auto got = ::read(m_wakeFd, &count, sizeof count);
            if (m_dropAll.exchange(false)) {
                for (auto& c : m_connections) {
                    closeConnection(c);
                }
            }
        }
        if (fds[1].revents & POLLIN) {
            accept();
        }
        for (std::size_t i = 0; i < polled; ++i) {
            Connection& c = m_connections[i];
            if (c.fd >= 0 && (fds[i + 2].revents & (POLLIN | POLLHUP | POLLERR))) {
                readFrom(c);
            }
        }
        const int64_t after = nowUs();
        for (auto& c : m_connections) {
            if (c.fd >= 0) {
                flush(c, after);
            }
        }
        std::erase_if(m_connections, [](const Connection& c) { return c.fd < 0; });
    }
}

int SimReceiver::nextTimeoutMs(int64_t now) const
{
    int64_t next = -1;
    for (const auto& c : m_connections) {
        // Output that is due already waits for POLLOUT: a timeout of 0 for it would
        // spin while the peer does not read.
        if (!c.output.empty() && c.output.front().dueUs > now) {
            const int64_t wait = c.output.front().dueUs - now;
            next = next < 0 ? wait : std::min(next, wait);
        }
    }
    return next < 0 ? -1 : static_cast<int>((next + 999) / 1000);
}

void SimReceiver::accept()
{
    for (;;) {
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            return;
        }
        const int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        Connection c;
        c.fd = fd;
        m_connections.push_back(std::move(c));
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_state.stats.connections;
    }
}

void SimReceiver::readFrom(Connection& c)
{
    uint8_t chunk[4096];
    for (;;) {
        const ssize_t n = ::recv(c.fd, chunk, sizeof chunk, MSG_DONTWAIT);
        if (n > 0) {
            c.input.insert(c.input.end(), chunk, chunk + n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        }
        serve(c);  // whatever came before the close still counts
        closeConnection(c);
        return;
    }
    serve(c);
}

void SimReceiver::serve(Connection& c)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Replies replies;
    while (!c.input.empty() && !c.closing) {
        const uint8_t code = c.input.front();
        std::size_t length = 0;
        Job* owner = nullptr;
        for (Job* job : m_state.jobs()) {
            length = job->requestLength(code);
            if (length > 0) {
                owner = job;
                break;
            }
        }
        if (owner == nullptr) {
            c.input.erase(c.input.begin());
            ++m_state.stats.ignoredBytes;
            continue;
        }
        if (c.input.size() < length) {
            return;
        }
        const Bytes request(c.input.begin(), c.input.begin() + static_cast<std::ptrdiff_t>(length));
        c.input.erase(c.input.begin(), c.input.begin() + static_cast<std::ptrdiff_t>(length));
        Stats& stats = m_state.stats;
        ++stats.requests;
        ++stats.byCode[code];
        if (stats.keepLog) {
            stats.log.push_back(request);
        }
        const int number = ++m_state.faultRequests;
        const Faults& f = m_state.faults;
        const RandomFault randomFault = pickRandomFault();
        if ((f.dropAfter >= 0 && number > f.dropAfter) || randomFault == RandomFault::Drop) {
            c.output.clear();
            c.output.push_back({0, {}, true});
            c.closing = true;
            return;
        }
        replies.clear();
        owner->handle(request, replies);
        answer(c, replies, number, randomFault);
    }
}

RandomFault SimReceiver::pickRandomFault()
{
    const Faults& f = m_state.faults;
    if (f.randomPerMille <= 0 || static_cast<int>(m_state.random() % 1000) >= f.randomPerMille) {
        return RandomFault::None;
    }
    ++m_state.stats.randomFaults;
    return static_cast<RandomFault>(1 + m_state.random() % kRandomFaultKinds);
}

void SimReceiver::answer(Connection& c, Replies& replies, int number, RandomFault randomFault)
{
    const Faults& f = m_state.faults;
    auto& items = replies.items();
    if (!items.empty()) {
        switch (randomFault) {
            case RandomFault::Silence:
                items.clear();
                break;
            case RandomFault::Oversize:
                items = {{{0x4C, 0x04, 0, 0, 85, 0, 0, 0}, 0}};
                break;
            case RandomFault::Undersize:
                items = {{{0x02, 0x00, 0, 0}, 0}};
                break;
            case RandomFault::Unknown:
                items = {{makeFrame({7, 0, 0, 0}), 0}};
                break;
            case RandomFault::Late:
                items.front().delayMs += kLateAnswerMs;
                break;
            default:
                break;
        }
    }
    const bool split = f.split || randomFault == RandomFault::Split;
    if (f.silenceAfter >= 0 && number > f.silenceAfter) {
        items.clear();
    } else if (const auto raw = f.rawAt.find(number); raw != f.rawAt.end()) {
        items = {{raw->second, 0}};
    } else if (number == f.oversizeAt) {
        items = {{{0x4C, 0x04, 0, 0, 85, 0, 0, 0}, 0}};  // says 1100 bytes
    } else if (number == f.undersizeAt) {
        items = {{{0x02, 0x00, 0, 0}, 0}};  // says 2 bytes
    } else if (number == f.unknownCodeAt) {
        items = {{makeFrame({7, 0, 0, 0}), 0}};
    }
    if (f.coalesce && items.size() > 1) {
        Replies::Item merged{{}, items.front().delayMs};
        for (auto& item : items) {
            merged.bytes.insert(merged.bytes.end(), item.bytes.begin(), item.bytes.end());
        }
        items = {std::move(merged)};
    }
    int64_t due = std::max(nowUs(), c.lastDueUs);
    if (f.answerJitterMs > 0 && !items.empty()) {
        due += static_cast<int64_t>(m_state.random() % static_cast<uint32_t>(f.answerJitterMs * 1000 + 1));
    }
    bool first = true;
    for (auto& item : items) {
        due += static_cast<int64_t>(item.delayMs + (first ? f.answerDelayMs : 0)) * 1000;
        first = false;
        if (split) {
            for (std::size_t i = 0; i < item.bytes.size(); ++i) {
                if (i > 0) {
                    due += static_cast<int64_t>(f.splitGapMs) * 1000;
                }
                c.output.push_back({due, {item.bytes[i]}});
            }
        } else {
            c.output.push_back({due, std::move(item.bytes)});
        }
    }
    if (replies.closes()) {
        c.output.push_back({due, {}, true});
    }
    c.lastDueUs = due;
}

void SimReceiver::flush(Connection& c, int64_t now)
{
    while (!c.output.empty() && c.output.front().dueUs <= now) {
        Pending& p = c.output.front();
        if (p.close) {
            closeConnection(c);
            return;
        }
        while (!p.bytes.empty()) {
            const ssize_t n = ::send(c.fd, p.bytes.data(), p.bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0) {
                p.bytes.erase(p.bytes.begin(), p.bytes.begin() + n);
                continue;
            }
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                return;  // the rest goes when the socket can take it
            }
            closeConnection(c);
            return;
        }
        c.output.pop_front();
    }
}

void SimReceiver::closeConnection(Connection& c)
{
    if (c.fd >= 0) {
        ::close(c.fd);
        c.fd = -1;
    }
    c.output.clear();
    c.input.clear();
}

}  // namespace dzsim
