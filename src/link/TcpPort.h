#pragma once
// Port over a TCP connection to a serial device server. Plain, it is the raw
// stream of "tcp://HOST:PORT", where the server's own configuration sets the
// line; Rfc2217Port builds the telnet form on it. A dropped connection is a
// device that went away, as a pulled USB adapter is.
//
// Opening waits through the pump, so a window keeps running while a server
// takes its time; the open can also be taken in steps (startOpen, opening,
// finishOpen), so that a probe connects to many servers at once.
#include "link/Port.h"

#include <functional>
#include <memory>

class Pump;
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
    // A server in use by another client (ser2net's "Port already in use") takes
    // the connection and hangs up at once; this long is waited to see it.
    static constexpr int kInUseGraceMs = 200;

    // connectTimeoutMs bounds the whole open: the connection and the line set-up.
    TcpPort(int connectTimeoutMs, Pump& pump, Note note = {});
    ~TcpPort() override;

    // address: tcp://HOST:PORT (or rfc2217://).
    PortError open(const std::string& address, int baud) override;
    void close() override;
    bool isOpen() const override;
    std::size_t bytesWaiting() override;
    std::string read(std::size_t n) override;
    bool write(const std::string& bytes) override;
    PortError error() const override { return error_; }
    std::string errorText() const override { return errorText_; }
    // What a failed open stands for in the system's words: ECONNREFUSED,
    // ETIMEDOUT (no answer), ECONNRESET (closed, or in use), EPROTO (a setting
    // refused)...; for a host not found, the resolver's code (getaddrinfo's
    // EAI_NONAME and its kin, negative on Linux: no errno stands for it).
    int systemError() const override { return systemError_; }

    // open() in steps: the connection and the line set-up go on as events run.
    void startOpen(const std::string& address, int baud);
    bool opening() const { return state_ == State::Connecting || state_ == State::SettingUp; }
    // The open's result once opening() ended or the time-out passed.
    PortError finishOpen();
    // The open's result after the in-use grace: a server that hung up meanwhile is in use.
    PortError keptOpen();
    int connectTimeoutMs() const { return timeoutMs_; }

protected:
    enum class Line { Pending, Ready, Failed };
    struct Failure {
        int number = 0; // errno
        std::string text;
    };

    // A fresh start for the protocol on top, before the connection is made.
    virtual void reset(int baud) { (void)baud; }
    // Connected: what the line needs before it serves is asked for here.
    virtual void startLine() {}
    // Where the line set-up stands; asked again after each arrival.
    virtual Line lineState() const { return Line::Ready; }
    // Why the set-up did not end Ready: a refusal, silence, the connection gone.
    virtual Failure lineError() const { return {}; }
    // The set-up ended Ready.
    virtual void lineUp() {}
    // The set-up waited for the server's answers, so a server in use has hung
    // up before it ended: the open need not wait the in-use grace.
    virtual bool setUpHeardTheServer() const { return false; }
    // Bytes from the server, turned into data for the titrator's side.
    virtual void received(const std::string& raw) { deliver(raw); }
    // Data for the titrator as it goes on the wire.
    virtual std::string onWire(const std::string& data) { return data; }

    void deliver(const std::string& data) { input_ += data; }
    bool sendRaw(const std::string& bytes);
    bool connected() const;
    const std::string& address() const { return address_; }
    // "... did not answer within N s" (N the connect time-out), and "... closed the connection".
    Failure noAnswer() const;
    Failure closedByPeer() const;
    Failure closedAtOnce() const;
    void note(const std::string& text) const;

private:
    enum class State { Closed, Connecting, SettingUp, Open, Failed };

    Failure connectError() const;
    Failure hostNotFound() const;
    Failure unreachable() const;
    std::string systemWords() const;
    PortError openResult() const;
    void setSocketOptions();
    void onConnected();
    void drain();
    void advanceLine();
    void onSocketError(int socketError);
    void fail(const Failure& failure);

    std::unique_ptr<QTcpSocket> socket_;
    int timeoutMs_;
    Pump& pump_;
    Note note_;
    std::string address_;
    State state_ = State::Closed;
    bool peerGone_ = false; // the connection ended or broke
    // The resolver is asked why in finishOpen, outside the socket's signal.
    bool hostNotFound_ = false;
    std::string input_;
    std::size_t taken_ = 0; // input_ bytes already read
    PortError error_ = PortError::None;
    std::string errorText_;
    int systemError_ = 0;
};
