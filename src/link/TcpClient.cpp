#include "link/TcpClient.h"

#include <QDeadlineTimer>
#include <QSocketNotifier>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>

#include "link/EventWait.h"

namespace dz {

namespace {

constexpr int kSendStallMs = 5000;  // a send that cannot go on for this long has failed
// A reply on a good link comes within a fraction of this; waiting for it in the kernel
// is far cheaper than a pass through the event dispatcher, and holds events back for
// no longer than this.
constexpr int kQuickWaitMs = 2;

bool resolve(const Endpoint& endpoint, sockaddr_in* address)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(endpoint.host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return false;
    }
    *address = *reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    address->sin_port = htons(endpoint.port);
    ::freeaddrinfo(found);
    return true;
}

// A non-blocking connect, with the event queue handled while it is under way.
// Returns the connected socket, or -1 with the reason in `error`.
int connectWithin(const Endpoint& endpoint, int timeoutMs, int* error)
{
    sockaddr_in address{};
    if (!resolve(endpoint, &address)) {
        *error = EHOSTUNREACH;
        return -1;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = errno;
        return -1;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno != EINPROGRESS) {
            *error = errno;
            ::close(fd);
            return -1;
        }
        bool writable = false;
        QSocketNotifier notifier(fd, QSocketNotifier::Write);
        QObject::connect(&notifier, &QSocketNotifier::activated, &notifier, [&] {
            writable = true;
            notifier.setEnabled(false);
        });
        if (!pumpUntil([&] { return writable; }, timeoutMs)) {
            notifier.setEnabled(false);
            *error = ETIMEDOUT;
            ::close(fd);
            return -1;
        }
        int result = 0;
        socklen_t length = sizeof result;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &result, &length) != 0 || result != 0) {
            *error = result != 0 ? result : errno;
            ::close(fd);
            return -1;
        }
    }
    *error = 0;
    return fd;
}

}  // namespace

TcpClient::TcpClient(QObject* parent) : QObject(parent) {}

TcpClient::~TcpClient()
{
    m_onError = nullptr;
    close();
}

bool TcpClient::open()
{
    if (m_fd >= 0) {
        return true;
    }
    int error = 0;
    const int fd = connectWithin(m_endpoint, m_connectTimeoutMs, &error);
    if (fd < 0) {
        return m_fd >= 0 || fail(error);
    }
    // The connect handles events while it waits: an open() among them may have won.
    if (m_fd >= 0) {
        ::close(fd);
        return true;
    }
    // Blocking, with a short receive time-out, for receiveSoon(); every other call on the
    // socket says MSG_DONTWAIT.
    const int flags = ::fcntl(fd, F_GETFL);
    ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    const timeval quick{0, kQuickWaitMs * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &quick, sizeof quick);
    m_fd = fd;
    m_readNotifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    m_readNotifier->setEnabled(false);
    // Level-triggered: it fires once, then stays off until somebody waits again.
    connect(m_readNotifier, &QSocketNotifier::activated, this, [this] {
        m_readable = true;
        m_readNotifier->setEnabled(false);
    });
    return true;
}

bool TcpClient::fail(int error)
{
    if (m_onError) {
        m_onError(error);
    }
    return false;
}

bool TcpClient::sendBuf(const uint8_t* data, int count)
{
    if (m_fd < 0) {
        return fail(ENOTCONN);
    }
    int sent = 0;
    while (sent < count) {
        const ssize_t n = ::send(m_fd, data + sent, static_cast<size_t>(count - sent), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{m_fd, POLLOUT, 0};
            if (::poll(&p, 1, kSendStallMs) > 0) {
                continue;
            }
            return fail(ETIMEDOUT);
        }
        return fail(n < 0 ? errno : EPIPE);
    }
    return true;
}

void TcpClient::armReadNotifier()
{
    m_readable = false;
    ++m_readWaiters;
    m_readNotifier->setEnabled(true);
}

void TcpClient::disarmReadNotifier()
{
    if (--m_readWaiters == 0 && m_readNotifier) {
        m_readNotifier->setEnabled(false);
    }
}

bool TcpClient::waitForData(int timeoutMs, const std::function<bool()>& giveUp, bool quickWait)
{
    const QDeadlineTimer deadline(timeoutMs, Qt::PreciseTimer);
    bool quick = quickWait;
    for (;;) {
        if (m_fd < 0) {
            return false;
        }
        pollfd p{m_fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, quick ? std::min<int>(kQuickWaitMs, std::max(0, timeoutMs)) : 0);
        quick = false;
        if (ready > 0) {
            // Readable: data, or the peer's close, which the read then reports.
            return true;
        }
        if (ready < 0 && errno != EINTR) {
            return fail(errno);
        }
        if ((giveUp && giveUp()) || deadline.hasExpired()) {
            return false;
        }
        armReadNotifier();
        const int fd = m_fd;
        pumpUntil([&] { return m_readable || m_fd != fd || (giveUp && giveUp()); },
                  static_cast<int>(deadline.remainingTime()));
        if (m_fd == fd) {
            disarmReadNotifier();
        }
    }
}

int TcpClient::receive(uint8_t* buffer, int capacity, int flags)
{
    if (m_fd < 0) {
        fail(ENOTCONN);
        return -1;
    }
    if (capacity <= 0) {
        return 0;
    }
    for (;;) {
        const ssize_t n = ::recv(m_fd, buffer, static_cast<size_t>(capacity), flags);
        if (n > 0) {
            return static_cast<int>(n);
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return 0;  // nothing now, or nothing within the socket's receive time-out
        }
        fail(n == 0 ? ECONNRESET : errno);
        return -1;
    }
}

int TcpClient::receiveSoon(uint8_t* buffer, int capacity)
{
    return receive(buffer, capacity, 0);
}

int TcpClient::receiveBuf(uint8_t* buffer, int capacity)
{
    return receive(buffer, capacity, MSG_DONTWAIT);
}

void TcpClient::discardPending()
{
    uint8_t scrap[1024];
    while (m_fd >= 0) {
        const ssize_t n = ::recv(m_fd, scrap, sizeof scrap, MSG_DONTWAIT);
        if (n > 0) {
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        }
        fail(n == 0 ? ECONNRESET : errno);
        return;
    }
}

void TcpClient::close()
{
    if (m_fd < 0) {
        return;
    }
    delete m_readNotifier;
    m_readNotifier = nullptr;
    m_readWaiters = 0;
    const int fd = m_fd;
    m_fd = -1;
    const bool shutDown = ::shutdown(fd, SHUT_RDWR) == 0 || errno == ENOTCONN;
    const int shutdownError = errno;
    ::close(fd);
    if (!shutDown) {
        fail(shutdownError);
    }
}

bool probeConnect(const Endpoint& endpoint, int timeoutMs)
{
    int error = 0;
    const int fd = connectWithin(endpoint, timeoutMs, &error);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

}  // namespace dz
