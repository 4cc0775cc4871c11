#pragma once
// Port over QSerialPort: 8 data bits, no parity, 1 stop bit, no flow control.
// Works on real serial devices, USB adapters and pseudo-terminal slaves (the simulator).
#include "link/Port.h"

#include <memory>

class QSerialPort;

class QtSerialPort : public Port {
public:
    // Consecutive read/write failures on an open port that mean the device is gone:
    // a hung-up tty (pulled adapter, closed pty master) fails every access from then on.
    static constexpr int kVanishedErrorRun = 3;

    QtSerialPort();
    ~QtSerialPort() override;

    PortError open(const std::string& device, int baud) override;
    void close() override;
    bool isOpen() const override;
    std::size_t bytesWaiting() override;
    std::string read(std::size_t n) override;
    bool write(const std::string& bytes) override;
    // ClosedUnderUs and DeviceVanished stay until the next open; the port then
    // counts as closed and is shut soon after.
    PortError error() const override { return error_; }
    std::string errorText() const override { return errorText_; }
    int systemError() const override { return systemError_; }

private:
    void onQtError(int qtError);
    void fail(PortError kind);
    PortError openErrorKind(int qtError) const;

    std::unique_ptr<QSerialPort> port_;
    std::string device_;
    PortError error_ = PortError::None;
    std::string errorText_;
    int systemError_ = 0;
    int errorRun_ = 0;
    unsigned generation_ = 0; // bumped by close(), so a late deferred close misses a reopened port
};
