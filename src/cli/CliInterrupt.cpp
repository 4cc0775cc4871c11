#include "cli/CliInterrupt.h"

#include "cli/ExitCodes.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <map>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t caughtSignal = 0;
int wakeFd = -1; // the write end of the self-pipe

void noteSignal(int signal) {
    if (caughtSignal == 0)
        caughtSignal = signal;
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(wakeFd, &byte, 1);
}

} // namespace

struct CliInterrupt::Parts {
    int pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier;
    std::map<int, std::function<void()>> stops; // in the order they were given
    int nextId = 0;
    struct sigaction previousInt {};
    struct sigaction previousTerm {};
    bool stopped = false;
};

CliInterrupt::CliInterrupt() : parts_(std::make_unique<Parts>()) {
    Parts& p = *parts_;
    caughtSignal = 0;
    if (::pipe2(p.pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // no clean stop: the signals keep their default action
    wakeFd = p.pipe[1];
    p.notifier = std::make_unique<QSocketNotifier>(p.pipe[0], QSocketNotifier::Read);
    QObject::connect(p.notifier.get(), &QSocketNotifier::activated, [&p] {
        char drain[16];
        while (::read(p.pipe[0], drain, sizeof drain) > 0) {
        }
        if (p.stopped)
            return;
        p.stopped = true;
        for (const auto& [id, stop] : p.stops)
            stop();
    });
    struct sigaction action {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a terminal question in progress returns unanswered. The
    // handler goes after the first signal, so a second one ends the program.
    action.sa_flags = SA_RESETHAND;
    ::sigaction(SIGINT, &action, &p.previousInt);
    ::sigaction(SIGTERM, &action, &p.previousTerm);
}

CliInterrupt::~CliInterrupt() {
    Parts& p = *parts_;
    if (p.pipe[0] < 0)
        return;
    ::sigaction(SIGINT, &p.previousInt, nullptr);
    ::sigaction(SIGTERM, &p.previousTerm, nullptr);
    p.notifier.reset();
    wakeFd = -1;
    ::close(p.pipe[0]);
    ::close(p.pipe[1]);
}

CliInterrupt::Stop CliInterrupt::onSignal(std::function<void()> stop) {
    const int id = parts_->nextId++;
    parts_->stops.emplace(id, std::move(stop));
    return Stop(*this, id);
}

CliInterrupt::Stop::~Stop() {
    if (interrupt_)
        interrupt_->parts_->stops.erase(id_);
}

CliInterrupt::Stop::Stop(Stop&& other) noexcept : interrupt_(other.interrupt_), id_(other.id_) {
    other.interrupt_ = nullptr;
}

bool CliInterrupt::caught() const {
    return caughtSignal != 0;
}

int CliInterrupt::exitCode(int code) const {
    return caughtSignal != 0 ? cliexit::kSignalBase + caughtSignal : code;
}
