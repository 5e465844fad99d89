#pragma once
// The link's socket: one TCP client over POSIX sockets. Operations look blocking
// to their callers but keep the event queue handled while they wait. Failures
// raise nothing: the error handler runs inside the failing call, then the call
// returns its error result. A peer that closes the connection counts as a failure.

#include <QObject>

#include <cstdint>
#include <functional>

#include "link/Endpoint.h"

class QSocketNotifier;

namespace dz {

class TcpClient : public QObject {
    Q_OBJECT
public:
    using ErrorHandler = std::function<void(int error)>;

    explicit TcpClient(QObject* parent = nullptr);
    ~TcpClient() override;

    void setEndpoint(const Endpoint& endpoint) { m_endpoint = endpoint; }
    const Endpoint& endpoint() const { return m_endpoint; }
    void setConnectTimeout(int ms) { m_connectTimeoutMs = ms; }
    void setErrorHandler(ErrorHandler handler) { m_onError = std::move(handler); }

    // Connects, within the connect time-out. Already connected: true at once.
    bool open();
    bool connected() const { return m_fd >= 0; }
    // Sends the whole buffer.
    bool sendBuf(const uint8_t* data, int count);
    // True once the socket is readable within `timeoutMs`: data has come, or the peer
    // has closed, which the next receiveBuf() reports as a failure. False at once
    // while closed, and as soon as `giveUp()` holds. Waits in the kernel for up to 2 ms
    // first, unless `quickWait` is false (the caller has just done so in receiveSoon()).
    bool waitForData(int timeoutMs, const std::function<bool()>& giveUp = {}, bool quickWait = true);
    // Reads what has arrived, up to `capacity` bytes: the count, 0 if nothing, -1 on failure.
    int receiveBuf(uint8_t* buffer, int capacity);
    // As receiveBuf(), but waits in the kernel for up to 2 ms first, where an answer on a
    // good link comes: one call where a wait and a read would be two.
    int receiveSoon(uint8_t* buffer, int capacity);
    // Drops every byte that has arrived and not been read.
    void discardPending();
    // Shuts the connection down in both directions and closes the socket.
    void close();

private:
    bool fail(int error);
    int receive(uint8_t* buffer, int capacity, int flags);
    void armReadNotifier();
    void disarmReadNotifier();

    Endpoint m_endpoint;
    int m_connectTimeoutMs = 3000;
    int m_fd = -1;
    ErrorHandler m_onError;
    QSocketNotifier* m_readNotifier = nullptr;
    int m_readWaiters = 0;
    bool m_readable = false;
};

// Connects to `endpoint` and at once disconnects again, sending nothing: tells
// quickly whether anything answers there. False after `timeoutMs` or a refusal.
bool probeConnect(const Endpoint& endpoint, int timeoutMs);

}  // namespace dz
