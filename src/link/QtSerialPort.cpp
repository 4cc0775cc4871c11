#include "link/QtSerialPort.h"

#include <QSerialPort>
#include <cerrno>
#include <filesystem>
#include <unistd.h>

namespace {
bool isFatal(PortError e) {
    return e == PortError::ClosedUnderUs || e == PortError::DeviceVanished;
}
} // namespace

QtSerialPort::QtSerialPort() : port_(std::make_unique<QSerialPort>()) {
    QObject::connect(port_.get(), &QSerialPort::errorOccurred,
                     [this](QSerialPort::SerialPortError e) { onQtError(e); });
    QObject::connect(port_.get(), &QSerialPort::readyRead, [this] { errorRun_ = 0; });
    QObject::connect(port_.get(), &QSerialPort::bytesWritten, [this] { errorRun_ = 0; });
}

QtSerialPort::~QtSerialPort() {
    // No error reports while the object is going away.
    QObject::disconnect(port_.get(), nullptr, nullptr, nullptr);
}

PortError QtSerialPort::open(const std::string& device, int baud) {
    close();
    device_ = device;
    error_ = PortError::None;
    errorText_.clear();
    systemError_ = 0;
    errorRun_ = 0;
    port_->setPortName(QString::fromStdString(device));
    port_->setBaudRate(baud);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    errno = 0;
    if (port_->open(QIODevice::ReadWrite))
        return PortError::None;
    // Qt keeps only the text; the number is the errno its failing call left.
    systemError_ = errno;
    const auto qtError = port_->error();
    errorText_ = port_->errorString().toStdString();
    error_ = openErrorKind(qtError);
    return error_;
}

PortError QtSerialPort::openErrorKind(int qtError) const {
    switch (qtError) {
    case QSerialPort::DeviceNotFoundError:
        return PortError::NotFound;
    case QSerialPort::OpenError:
        return PortError::Busy;
    case QSerialPort::PermissionError:
        // Qt reports a port locked or held exclusively by another program as a
        // permission error too; only an unreadable device node is one.
        return ::access(device_.c_str(), R_OK | W_OK) == 0 ? PortError::Busy
                                                           : PortError::Permission;
    case QSerialPort::NotOpenError:
        return PortError::NotOpen;
    default:
        return PortError::Other;
    }
}

void QtSerialPort::onQtError(int qtError) {
    if (!port_->isOpen() || isFatal(error_))
        return; // open() reads its own failure; a dead port is reported once
    switch (qtError) {
    case QSerialPort::ResourceError: {
        std::error_code ec;
        fail(std::filesystem::exists(device_, ec) ? PortError::ClosedUnderUs
                                                  : PortError::DeviceVanished);
        break;
    }
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
        if (++errorRun_ >= kVanishedErrorRun)
            fail(PortError::DeviceVanished);
        break;
    default:
        break; // time-outs and line faults do not stop the port
    }
}

void QtSerialPort::fail(PortError kind) {
    error_ = kind;
    errorText_ = port_->errorString().toStdString();
    if (kind == PortError::DeviceVanished)
        errorText_ = "device vanished (" + errorText_ + ")";
    // A hung-up descriptor stays readable forever; closing it stops the notifier
    // from waking the event loop without end. Queued, because QSerialPort is still
    // inside its own notifier handler here.
    const unsigned generation = generation_;
    QMetaObject::invokeMethod(
        port_.get(),
        [this, generation] {
            if (generation == generation_)
                close();
        },
        Qt::QueuedConnection);
}

void QtSerialPort::close() {
    ++generation_;
    if (port_->isOpen())
        port_->close();
}

bool QtSerialPort::isOpen() const {
    return port_->isOpen() && !isFatal(error_);
}

std::size_t QtSerialPort::bytesWaiting() {
    return isOpen() ? static_cast<std::size_t>(port_->bytesAvailable()) : 0;
}

std::string QtSerialPort::read(std::size_t n) {
    if (!isOpen()) {
        if (!isFatal(error_))
            error_ = PortError::NotOpen;
        return {};
    }
    const QByteArray data = port_->read(static_cast<qint64>(n));
    return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

bool QtSerialPort::write(const std::string& bytes) {
    if (!isOpen()) {
        if (!isFatal(error_))
            error_ = PortError::NotOpen;
        return false;
    }
    const qint64 n = port_->write(bytes.data(), static_cast<qint64>(bytes.size()));
    // Hand what the driver takes now; the rest goes out as the event loop runs.
    port_->flush();
    return n == static_cast<qint64>(bytes.size());
}
