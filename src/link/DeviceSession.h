#pragma once
// The one place the device link is put together: the port adapter, the serial
// trace, the `serial` object and the link supervision, wired once. A window,
// the command-line tool or a test creates a session and supplies only its
// views (LinkView for the supervision, SerialHost for what an exchange shows).
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class LinkAudit;
class LinkMonitor;
class LinkView;
class Port;
class Pump;
class Serial;
class SerialHost;
class Trace;
struct PortSurvey;

class DeviceSession {
public:
    struct Config {
        std::filesystem::path configPath; // config.ini: [Ports] and [Versions]
        std::filesystem::path traceLog;   // debug.log; empty: no serial trace
        std::string fixedDevice;          // every port number means this device (--port)
        bool periodicLinkCheck = true;    // false: only the check that Connect runs
        // After a communication error the link is checked at once, inside the exchange,
        // so that a silent titrator ends the operation (the command-line tool).
        bool checkLinkAfterError = false;
    };

    // port: the byte pipe; when none is given, the adapter the port's address
    // calls for (a serial device, tcp:// or rfc2217://).
    DeviceSession(LinkView& view, SerialHost& host, Pump& pump, Config config,
                  std::unique_ptr<Port> port = nullptr);
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    Serial& serial();
    LinkMonitor& monitor();
    Trace* trace(); // null while the trace is off
    std::string deviceForPort(int portNumber) const;
    // The port as the audit log names it: "COM1 /dev/ttyS0", or the fixed device.
    std::string portName(int portNumber) const;

    // Connect and Disconnect as the user gives them.
    void connect(int comPort, int speed);
    void disconnect();
    // A status message is showing: the next link check waits ms.
    void postponeLinkCheck(int ms);
    // Stops the running transfer as its abort button would (closing the window).
    void abortTransfer();
    bool busy() const;

    // Every port number with its address and whether it can be opened now, and
    // the USB adapters no number names yet: the survey behind the settings
    // dialog and the Communication menu (and veltran-cli ports). The session's
    // port is closed for it, and the link held meanwhile; false, with nothing
    // done, when asked from inside a wait of the link.
    bool surveyPorts(PortSurvey& survey);
    // Connects to a network port and lets it go, the link held meanwhile:
    // whether it answered, and else why not.
    bool tryNetworkPort(const std::string& address, std::string& failure);

private:
    class BusyRelay;
    bool holdLinkForProbe(const std::function<void()>& work);
    std::unique_ptr<Port> addressedPort();

    Config config_;
    Pump& pump_;
    std::unique_ptr<Port> port_;
    std::unique_ptr<Trace> trace_;
    std::unique_ptr<BusyRelay> relay_;
    std::unique_ptr<LinkAudit> audit_;
    std::unique_ptr<Serial> serial_;
    std::unique_ptr<LinkMonitor> monitor_;
};
