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
    void startLine() override;
    Line lineState() const override;
    Failure lineError() const override;
    void lineUp() override;
    bool setUpHeardTheServer() const override { return true; }
    void received(const std::string& raw) override;
    std::string onWire(const std::string& data) override { return telnet::escape(data); }

private:
    Failure silenceError() const;
    Failure comPortError() const;
    Failure lineSettingError() const;

    std::unique_ptr<telnet::Connection> telnet_;
    std::unique_ptr<rfc2217::LineCheck> line_;
    bool settingsAsked_ = false;
    bool foreignBytes_ = false; // the server sent data before it took the option
};
