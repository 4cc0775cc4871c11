#pragma once
// The firmware upgrade: the identification query, the choice and checks of the
// upgrade file, and the upgrade itself (announce the checksum, send the file to
// the titrator's upgrade folder, ask for the verdict), with its abort.
//
// One procedure at a time: every wait runs pending events, so a click can
// arrive while the procedure waits; such a second start is ignored. An abort
// holds for the rest of the procedure that is running (no later command goes
// out, and no "upgcheck"), and the buttons come back only when that procedure
// has ended. The link is held busy from the model check to the end.
#include "link/Transfer.h"
#include "upgrade/UpgradeView.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

class Host;
class Serial;

class UpgradeProcedure {
public:
    enum class Outcome {
        Accepted,   // the titrator answered "ok"
        Rejected,   // the titrator answered anything else
        Refused,    // no file, or a file that is not for this titrator (nothing sent)
        Aborted,    // the user stopped it
        LinkFailed, // a communication error (already reported)
        Failed,     // an unexpected error (reported with language text 350)
        Ignored,    // another procedure is under way
    };

    // Language texts and communication error codes of the upgrade.
    static constexpr int kTextUpgrade = 11;
    static constexpr int kTextAbort = 208;
    static constexpr int kTextRejected = 389;
    static constexpr int kTextNoFile = 390;
    static constexpr int kTextOtherModel = 394;
    static constexpr int kTextBadName = 395;
    static constexpr int kTextNoFileChosen = 653;
    static constexpr int kErrNoAck = 3;
    static constexpr int kErrNoAnswer = 4;
    static constexpr int kErrPutRefused = 9;
    static constexpr int kErrTransferFailed = 10;
    static constexpr const char* kAccepted = "ok";

    UpgradeProcedure(Serial& serial, Host& host, UpgradeView& view);
    ~UpgradeProcedure();
    UpgradeProcedure(const UpgradeProcedure&) = delete;
    UpgradeProcedure& operator=(const UpgradeProcedure&) = delete;

    // The window opens: idle, progress 0; a chosen file without ".upg" is forgotten.
    void open();
    // "Get Software Version": asks "info" and shows the answer.
    void getSoftwareVersion();
    void chooseFile(const std::filesystem::path& file);
    const std::filesystem::path& file() const { return file_; }
    // The checks that need no link (a file is chosen, its name checksum, it can
    // be sent whole); nothing when the file passes, else why not (reported).
    std::optional<Outcome> checkChosenFile();
    Outcome upgrade();
    // Abort: only while an upgrade runs.
    void abort();

    bool upgradeRunning() const { return running_; }
    // An upgrade or identification query is under way.
    bool busy() const { return active_; }
    // The titrator's last "upgcheck" answer.
    const std::string& verdict() const { return verdict_; }
    void setUpgFileStatus(double fraction);

private:
    class ProgressSink;

    // The steps return nothing to go on, or how the procedure ends.
    using Step = std::optional<Outcome>;

    Outcome attempt();
    Outcome run();
    void record(Outcome outcome, const std::string& reason);
    Step checkFile(const std::filesystem::path& file);
    Step checkModel(const std::filesystem::path& file);
    Outcome transferPhase(const std::filesystem::path& file);
    Step announceChecksum(const std::filesystem::path& file);
    Step sendFile(const std::filesystem::path& file);
    Outcome askVerdict();
    // A command with a framed answer: errors 3 and 4 as the upgrade reports them.
    Step query(const std::string& word, const std::string& argument, std::string& answer);
    Outcome aborted();
    bool abortRequested() const;
    void finish(Outcome outcome);
    Outcome unexpectedError(int number, const std::string& description);
    void message(int text);
    void setControls(const UpgradeControls& controls);
    void toIdle();

    Serial& serial_;
    Host& host_;
    UpgradeView& view_;
    std::filesystem::path file_;
    std::string verdict_;
    std::string failure_;  // the unexpected error of the last attempt
    bool running_ = false; // the transfer phase has begun and was not aborted
    bool active_ = false;  // a procedure or query is under way
    UpgradeControls controls_;
    TransferSink answers_; // command answers: no progress shown
    std::unique_ptr<ProgressSink> transfer_;
};
