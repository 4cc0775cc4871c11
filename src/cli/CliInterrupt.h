#pragma once
// Ctrl-C and SIGTERM while a command talks to the titrator or writes files. The
// first signal stops the command the way its Abort button would: the stop runs
// from the event loop (the signal handler only notes the signal), so the
// transfer ends between blocks, its temporary file is removed and the link is
// left settled. A second signal ends the program at once.
#include <functional>
#include <memory>

class CliInterrupt {
public:
    CliInterrupt();
    ~CliInterrupt();
    CliInterrupt(const CliInterrupt&) = delete;
    CliInterrupt& operator=(const CliInterrupt&) = delete;

    // A stop that holds while this object lives.
    class Stop {
    public:
        Stop(CliInterrupt& interrupt, int id) : interrupt_(&interrupt), id_(id) {}
        ~Stop();
        Stop(Stop&& other) noexcept;
        Stop(const Stop&) = delete;
        Stop& operator=(const Stop&) = delete;
        Stop& operator=(Stop&&) = delete;

    private:
        CliInterrupt* interrupt_;
        int id_;
    };
    // `stop` is called once, from the event loop, when the first signal came.
    [[nodiscard]] Stop onSignal(std::function<void()> stop);
    bool caught() const;
    // 128 + the signal (130 Ctrl-C, 143 SIGTERM) once one came, else `code`.
    int exitCode(int code) const;

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};
