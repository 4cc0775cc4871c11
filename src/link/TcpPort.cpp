#include "link/TcpPort.h"

#include "core/Pump.h"
#include "link/NetworkTexts.h"
#include "link/PortNames.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpSocket>
#include <atomic>
#include <cerrno>
#include <netdb.h>
#include <thread>
#include <utility>

#ifdef __linux__
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

namespace {
// Read bytes are dropped from the buffer's front once this many have gathered.
constexpr std::size_t kCompactAfter = 4096;
// How long the resolver may take to say why it found no host, and how often it is looked at.
constexpr int kResolverWaitMs = 1000;
constexpr int kResolverPollMs = 10;

struct Lookup {
    std::atomic<bool> done{false};
    int code = 0;
};

// getaddrinfo's code for a host, asked on a thread of its own so that a slow
// resolver holds the caller (and its events) no longer than kResolverWaitMs;
// the thread finishes on its own. 0 when it found the host or did not answer in time.
int resolverCode(const std::string& host, Pump& pump) {
    auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, host] {
        addrinfo hints{};
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        lookup->code = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
        if (found)
            ::freeaddrinfo(found);
        lookup->done = true;
    }).detach();
    const QDeadlineTimer deadline(kResolverWaitMs);
    while (!lookup->done && !deadline.hasExpired())
        pump.waitUntil([&] { return lookup->done.load(); }, kResolverPollMs);
    return lookup->done ? lookup->code : 0;
}
} // namespace

TcpPort::TcpPort(int connectTimeoutMs, Pump& pump, Note note)
    : socket_(std::make_unique<QTcpSocket>()), timeoutMs_(connectTimeoutMs), pump_(pump),
      note_(std::move(note)) {
    QObject::connect(socket_.get(), &QTcpSocket::connected, [this] { onConnected(); });
    QObject::connect(socket_.get(), &QTcpSocket::readyRead, [this] { drain(); });
    QObject::connect(socket_.get(), &QTcpSocket::errorOccurred,
                     [this](QAbstractSocket::SocketError e) { onSocketError(e); });
}

TcpPort::~TcpPort() {
    // No error reports while the object is going away.
    QObject::disconnect(socket_.get(), nullptr, nullptr, nullptr);
}

PortError TcpPort::open(const std::string& address, int baud) {
    startOpen(address, baud);
    pump_.waitUntil([this] { return !opening(); }, timeoutMs_);
    if (finishOpen() != PortError::None || setUpHeardTheServer())
        return openResult();
    pump_.waitUntil([this] { return !connected(); }, kInUseGraceMs);
    return keptOpen();
}

void TcpPort::startOpen(const std::string& address, int baud) {
    close();
    address_ = address;
    error_ = PortError::None;
    errorText_.clear();
    systemError_ = 0;
    peerGone_ = false;
    hostNotFound_ = false;
    const PortAddress a = parsePortAddress(address);
    if (a.kind == PortKind::Device || !a.valid) {
        fail({EINVAL, netText(kTextNotAnAddress, {address})});
        return;
    }
    reset(baud);
    state_ = State::Connecting;
    socket_->connectToHost(QString::fromStdString(a.host), static_cast<quint16>(a.port));
}

PortError TcpPort::finishOpen() {
    if (state_ == State::Connecting)
        fail(noAnswer());
    else if (state_ == State::SettingUp)
        fail(lineError());
    else if (state_ == State::Failed && std::exchange(hostNotFound_, false))
        fail(hostNotFound());
    if (state_ != State::Open)
        socket_->abort();
    return openResult();
}

PortError TcpPort::keptOpen() {
    if (state_ == State::Open && !connected()) {
        fail(closedAtOnce());
        socket_->abort();
    }
    return openResult();
}

// Closed while it was being opened: nothing to report.
PortError TcpPort::openResult() const {
    if (state_ == State::Open)
        return PortError::None;
    return state_ == State::Closed ? PortError::NotOpen : error_;
}

void TcpPort::onConnected() {
    if (state_ != State::Connecting)
        return;
    setSocketOptions();
    state_ = State::SettingUp;
    startLine();
    advanceLine();
}

void TcpPort::advanceLine() {
    if (state_ != State::SettingUp)
        return;
    const Line line = lineState();
    if (line == Line::Ready) {
        state_ = State::Open;
        lineUp();
    } else if (line == Line::Failed) {
        fail(lineError());
    }
}

TcpPort::Failure TcpPort::connectError() const {
    switch (socket_->error()) {
    case QAbstractSocket::ConnectionRefusedError:
        return {ECONNREFUSED, netText(kTextRefused, {address_})};
    case QAbstractSocket::HostNotFoundError:
        return {EAI_NONAME, netText(kTextHostNotFound, {address_})};
    case QAbstractSocket::SocketTimeoutError:
        return noAnswer();
    case QAbstractSocket::RemoteHostClosedError:
        return closedAtOnce();
    case QAbstractSocket::NetworkError:
        return unreachable();
    case QAbstractSocket::SocketAccessError:
        return {EACCES, netText(kTextConnectFailed, {address_, systemWords()})};
    default:
        return {EIO, netText(kTextConnectFailed, {address_, systemWords()})};
    }
}

// Qt files both under NetworkError and tells them apart only by its words.
TcpPort::Failure TcpPort::unreachable() const {
    if (socket_->errorString() ==
        QCoreApplication::translate("QNativeSocketEngine", "Host unreachable"))
        return {EHOSTUNREACH, netText(kTextHostUnreachable, {address_})};
    return {ENETUNREACH, netText(kTextNetUnreachable, {address_})};
}

std::string TcpPort::systemWords() const {
    return socket_->errorString().toStdString();
}

// Qt says only "Host not found": the resolver's own code tells an unknown name
// from a name server that did not answer.
TcpPort::Failure TcpPort::hostNotFound() const {
    const int code = resolverCode(parsePortAddress(address_).host, pump_);
    switch (code) {
    case 0:
    case EAI_NONAME:
    case EAI_NODATA:
    case EAI_FAIL:
        return {code ? code : EAI_NONAME, netText(kTextHostNotFound, {address_})};
    case EAI_AGAIN:
        return {code, netText(kTextNoNameServer, {address_})};
    default:
        return {code, netText(kTextConnectFailed, {address_, ::gai_strerror(code)})};
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

// The socket is let go by finishOpen: not from inside one of its own signals.
void TcpPort::fail(const Failure& failure) {
    state_ = State::Failed;
    error_ = PortError::Other;
    errorText_ = failure.text;
    systemError_ = failure.number;
}

void TcpPort::close() {
    state_ = State::Closed;
    socket_->abort();
    input_.clear();
    taken_ = 0;
}

bool TcpPort::connected() const {
    return !peerGone_ && socket_->state() == QAbstractSocket::ConnectedState;
}

bool TcpPort::isOpen() const {
    return state_ == State::Open && error_ != PortError::DeviceVanished && connected();
}

void TcpPort::drain() {
    if (socket_->bytesAvailable() > 0)
        received(socket_->readAll().toStdString());
    advanceLine();
}

// A connection that ends or breaks while opening fails the open; while open,
// it is a device that went away.
void TcpPort::onSocketError(int socketError) {
    if (socketError == QAbstractSocket::SocketTimeoutError)
        return;
    peerGone_ = true;
    if (state_ == State::Connecting) {
        hostNotFound_ = socketError == QAbstractSocket::HostNotFoundError;
        fail(connectError());
    } else if (state_ == State::SettingUp) {
        drain(); // the server's last words may settle the line
        if (state_ == State::SettingUp)
            fail(lineError());
    } else if (state_ == State::Open && error_ != PortError::DeviceVanished) {
        error_ = PortError::DeviceVanished;
        errorText_ = socketError == QAbstractSocket::RemoteHostClosedError
                         ? closedByPeer().text
                         : address_ + ": " + socket_->errorString().toStdString();
    }
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

TcpPort::Failure TcpPort::noAnswer() const {
    return {ETIMEDOUT,
            netText(kTextNoAnswer, {address_, std::to_string((timeoutMs_ + 999) / 1000)})};
}

TcpPort::Failure TcpPort::closedByPeer() const {
    return {ECONNRESET, netText(kTextClosed, {address_})};
}

// Hung up while being opened: what a server in use by another client does.
TcpPort::Failure TcpPort::closedAtOnce() const {
    return {ECONNRESET, netText(kTextClosedAtOnce, {address_})};
}

void TcpPort::note(const std::string& text) const {
    if (note_)
        note_(text);
}
