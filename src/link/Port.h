#pragma once
// The byte pipe to the titrator. The application uses a QSerialPort behind it;
// tests may put an in-memory peer behind it.
#include <cstddef>
#include <string>

enum class PortError {
    None,
    NotFound,       // no such device: the "invalid port" branch
    Busy,           // in use by another program or already open: the "invalid port" branch
    Permission,     // the account may not open serial devices
    NotOpen,        // an operation on a closed port
    ClosedUnderUs,  // the port stopped working while open
    DeviceVanished, // the device went away (USB adapter pulled, peer hung up)
    Other,
};

class Port {
public:
    virtual ~Port() = default;
    virtual PortError open(const std::string& device, int baud) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual std::size_t bytesWaiting() = 0;
    // Takes at most n bytes out of the input buffer.
    virtual std::string read(std::size_t n) = 0;
    virtual bool write(const std::string& bytes) = 0;
    // The last error since open, and its system description.
    virtual PortError error() const = 0;
    virtual std::string errorText() const = 0;
    // The system's error number (errno) of a failed open; 0 when there is none.
    virtual int systemError() const { return 0; }
};
