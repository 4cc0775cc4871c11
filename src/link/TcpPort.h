#pragma once
// Port over a TCP connection to a serial device server. Plain, it is the raw
// stream of "tcp://HOST:PORT", where the server's own configuration sets the
// line; Rfc2217Port builds the telnet form on it. A dropped connection is a
// device that went away, as a pulled USB adapter is.
#include "link/Port.h"

#include <QDeadlineTimer>
#include <functional>
#include <memory>

class QTcpSocket;

class TcpPort : public Port {
public:
    // Lines for the serial trace: what the connection settled.
    using Note = std::function<void(const std::string&)>;

    // Keep-alive probes: a peer gone silently (a server switched off, a cable
    // cut) is noticed after about idle + count x interval seconds.
    static constexpr int kKeepAliveIdleS = 10;
    static constexpr int kKeepAliveIntervalS = 5;
    static constexpr int kKeepAliveCount = 3;

    explicit TcpPort(int connectTimeoutMs, Note note = {});
    ~TcpPort() override;

    // address: tcp://HOST:PORT (or rfc2217://). No event runs while it connects,
    // as none does while a serial device opens; the time-out bounds the wait.
    PortError open(const std::string& address, int baud) override;
    void close() override;
    bool isOpen() const override;
    std::size_t bytesWaiting() override;
    std::string read(std::size_t n) override;
    bool write(const std::string& bytes) override;
    PortError error() const override { return error_; }
    std::string errorText() const override { return errorText_; }
    // Whether the server keeps an open connection for ms (no event runs).
    bool staysOpen(int ms);

protected:
    // A fresh start for the protocol on top, before the connection is made.
    virtual void reset(int baud) { (void)baud; }
    // What must happen before the line serves; an error text ends the open.
    virtual std::string setUpLine(const QDeadlineTimer& deadline) {
        (void)deadline;
        return {};
    }
    // Bytes from the server, turned into data for the titrator's side.
    virtual void received(const std::string& raw) { deliver(raw); }
    // Data for the titrator as it goes on the wire.
    virtual std::string onWire(const std::string& data) { return data; }

    void deliver(const std::string& data) { input_ += data; }
    bool sendRaw(const std::string& bytes);
    // Waits, with no event running, until cond() holds, the connection ends or
    // the deadline passes; returns cond().
    bool waitUntil(const std::function<bool()>& cond, const QDeadlineTimer& deadline);
    bool connected() const;
    const std::string& address() const { return address_; }
    // "... did not answer within N s", N the connect time-out.
    std::string noAnswerText() const;
    void note(const std::string& text) const;

private:
    std::string connectError() const;
    void setSocketOptions();
    void drain();
    void onSocketError(int socketError);
    PortError openFailed(const std::string& text);

    std::unique_ptr<QTcpSocket> socket_;
    int timeoutMs_;
    Note note_;
    std::string address_;
    bool open_ = false;
    std::string input_;
    std::size_t taken_ = 0; // input_ bytes already read
    PortError error_ = PortError::None;
    std::string errorText_;
};
