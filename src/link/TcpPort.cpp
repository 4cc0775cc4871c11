#include "link/TcpPort.h"

#include "link/NetworkTexts.h"
#include "link/PortNames.h"

#include <QTcpSocket>

#ifdef __linux__
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

namespace {
// Read bytes are dropped from the buffer's front once this many have gathered.
constexpr std::size_t kCompactAfter = 4096;
} // namespace

TcpPort::TcpPort(int connectTimeoutMs, Note note)
    : socket_(std::make_unique<QTcpSocket>()), timeoutMs_(connectTimeoutMs),
      note_(std::move(note)) {
    QObject::connect(socket_.get(), &QTcpSocket::readyRead, [this] { drain(); });
    QObject::connect(socket_.get(), &QTcpSocket::errorOccurred,
                     [this](QAbstractSocket::SocketError e) { onSocketError(e); });
}

TcpPort::~TcpPort() {
    // No error reports while the object is going away.
    QObject::disconnect(socket_.get(), nullptr, nullptr, nullptr);
}

PortError TcpPort::open(const std::string& address, int baud) {
    close();
    address_ = address;
    error_ = PortError::None;
    errorText_.clear();
    const PortAddress a = parsePortAddress(address);
    if (a.kind == PortKind::Device || !a.valid)
        return openFailed(netText(kTextNotAnAddress, {address}));
    reset(baud);
    socket_->connectToHost(QString::fromStdString(a.host), static_cast<quint16>(a.port));
    if (!socket_->waitForConnected(timeoutMs_))
        return openFailed(connectError());
    setSocketOptions();
    const std::string lineError = setUpLine(QDeadlineTimer(timeoutMs_));
    if (!lineError.empty())
        return openFailed(lineError);
    open_ = true;
    return PortError::None;
}

std::string TcpPort::connectError() const {
    switch (socket_->error()) {
    case QAbstractSocket::ConnectionRefusedError:
        return netText(kTextRefused, {address_});
    case QAbstractSocket::HostNotFoundError:
        return netText(kTextHostNotFound, {address_});
    case QAbstractSocket::SocketTimeoutError:
        return noAnswerText();
    default:
        return address_ + ": " + socket_->errorString().toStdString();
    }
}

// The exchange is one short line and its answer at a time: no Nagle delay.
// Keep-alive notices a peer that vanished without a word.
void TcpPort::setSocketOptions() {
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    socket_->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
#ifdef __linux__
    const int fd = static_cast<int>(socket_->socketDescriptor());
    for (auto [option, value] : {std::pair{TCP_KEEPIDLE, kKeepAliveIdleS},
                                 {TCP_KEEPINTVL, kKeepAliveIntervalS},
                                 {TCP_KEEPCNT, kKeepAliveCount}})
        ::setsockopt(fd, IPPROTO_TCP, option, &value, sizeof value);
#endif
}

PortError TcpPort::openFailed(const std::string& text) {
    socket_->abort();
    error_ = PortError::Other;
    errorText_ = text;
    return error_;
}

void TcpPort::close() {
    open_ = false;
    socket_->abort();
    input_.clear();
    taken_ = 0;
}

bool TcpPort::connected() const {
    return socket_->state() == QAbstractSocket::ConnectedState;
}

bool TcpPort::isOpen() const {
    return open_ && error_ != PortError::DeviceVanished && connected();
}

void TcpPort::drain() {
    if (socket_->bytesAvailable() > 0)
        received(socket_->readAll().toStdString());
}

// A connection that ends or breaks while open is a device that went away.
// Time-outs of the waits during open are not faults of the line.
void TcpPort::onSocketError(int socketError) {
    if (!open_ || error_ == PortError::DeviceVanished ||
        socketError == QAbstractSocket::SocketTimeoutError)
        return;
    error_ = PortError::DeviceVanished;
    errorText_ = socketError == QAbstractSocket::RemoteHostClosedError
                     ? netText(kTextClosed, {address_})
                     : address_ + ": " + socket_->errorString().toStdString();
}

std::size_t TcpPort::bytesWaiting() {
    if (!isOpen())
        return 0;
    drain();
    return input_.size() - taken_;
}

std::string TcpPort::read(std::size_t n) {
    if (!isOpen()) {
        if (error_ != PortError::DeviceVanished)
            error_ = PortError::NotOpen;
        return {};
    }
    drain();
    const std::string data = input_.substr(taken_, n);
    taken_ += data.size();
    if (taken_ >= kCompactAfter) {
        input_.erase(0, taken_);
        taken_ = 0;
    }
    return data;
}

bool TcpPort::write(const std::string& bytes) {
    if (!isOpen()) {
        if (error_ != PortError::DeviceVanished)
            error_ = PortError::NotOpen;
        return false;
    }
    return sendRaw(onWire(bytes));
}

bool TcpPort::sendRaw(const std::string& bytes) {
    const qint64 n = socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
    // Hand the system what it takes now; the rest goes out as the event loop runs.
    socket_->flush();
    return n == static_cast<qint64>(bytes.size());
}

bool TcpPort::waitUntil(const std::function<bool()>& cond, const QDeadlineTimer& deadline) {
    drain();
    while (!cond() && connected() && !deadline.hasExpired()) {
        socket_->waitForReadyRead(static_cast<int>(deadline.remainingTime()));
        drain();
    }
    return cond();
}

std::string TcpPort::noAnswerText() const {
    return netText(kTextNoAnswer, {address_, std::to_string((timeoutMs_ + 999) / 1000)});
}

bool TcpPort::staysOpen(int ms) {
    waitUntil([] { return false; }, QDeadlineTimer(ms));
    return isOpen();
}

void TcpPort::note(const std::string& text) const {
    if (note_)
        note_(text);
}
