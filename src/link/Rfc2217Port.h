#pragma once
// Port over RFC 2217 ("rfc2217://HOST:PORT"): telnet to a serial device
// server, which sets the line as we ask through the COM-PORT-OPTION. The open
// ends with a clear error when the server refuses the option or a line
// setting, or leaves one unanswered; flow control is asked for too, but a
// server that does not answer it is accepted (the serial trace notes it).
#include "link/ComPortOption.h"
#include "link/TcpPort.h"
#include "link/Telnet.h"

#include <memory>

class Rfc2217Port : public TcpPort {
public:
    using TcpPort::TcpPort;

protected:
    void reset(int baud) override;
    std::string setUpLine(const QDeadlineTimer& deadline) override;
    void received(const std::string& raw) override;
    std::string onWire(const std::string& data) override { return telnet::escape(data); }

private:
    std::string silenceError() const;
    std::string comPortError() const;
    std::string lineSettingError() const;
    void noteLine() const;

    std::unique_ptr<telnet::Connection> telnet_;
    std::unique_ptr<rfc2217::LineCheck> line_;
};
