#include "support/LinkHarness.h"

#include <QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <ctime>

namespace dztest {

dz::LinkConfig fastLinkConfig(const dz::Endpoint& device)
{
    dz::LinkConfig c;
    c.device = device;
    c.probeTimeoutMs = 300;
    c.connectTimeoutMs = 600;
    c.watchdogMs = 400;
    c.keepAliveFirstMs = 60000;
    c.keepAliveMs = 60000;
    c.keepAliveReplyMs = 100;
    c.readyWaitMs = 500;
    c.settleMs = 20;
    c.searchReplyMs = 300;
    c.drainMs = 20;
    return c;
}

dz::Endpoint deadEndpoint()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
    ::close(fd);
    return dz::Endpoint{"127.0.0.1", ntohs(a.sin_port)};
}

FullListener::FullListener()
{
    m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(m_fd, 0);
    socklen_t length = sizeof a;
    ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &length);
    m_port = ntohs(a.sin_port);
}

FullListener::~FullListener()
{
    ::close(m_fd);
}

bool waitFor(const std::function<bool()>& done, int timeoutMs)
{
    return QTest::qWaitFor(done, timeoutMs);
}

void settle(int ms)
{
    QTest::qWait(ms);
}

double processCpuMs()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

}  // namespace dztest
