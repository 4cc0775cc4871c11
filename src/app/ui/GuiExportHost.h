#pragma once
// The Export command's dealings with the user and the titrator: message
// boxes, the replace window, the progress window and its abort button, and
// titrator reports fetched into memory.
#include "documents/ExportRun.h"
#include "files/ReplacePrompt.h"

#include <functional>
#include <memory>

class DeviceSession;
class ProgressWindow;
class ReplaceWindow;

class GuiExportHost : public ExportHost {
public:
    struct Window {
        Host& host;
        DeviceSession& session;
        ProgressWindow& progress;
        ReplaceWindow& replace;
        std::function<int(const std::string& entry)> checkFileName;
        std::function<void(bool enabled)> setActive;
        std::function<void(bool cancelled)> finished;
        TransferObserver* observer = nullptr; // one record per report
    };
    explicit GuiExportHost(Window window);

    void message(const std::string& text, const std::string& title, Icon icon) override;
    bool askYesNo(const std::string& text, const std::string& title) override;
    int checkFileName(const std::string& entry) override;
    void setActive(bool enabled) override;
    void initReplace() override;
    int checkReplaceOnPc(const std::string& fileName) override;
    void progressShow() override;
    void setTotalStatus(double fraction) override;
    void setFileName(const std::string& name) override;
    void progressHide() override;
    bool cancelRequested() override;
    void showExportError(const ExportError& error) override;
    bool fetchReport(const TitratorReport& report, std::string& bytes, ExportError& error) override;
    bool listTrayFolder(const std::string& trayFolder, std::vector<std::string>& names,
                        ExportError& error) override;
    void exportFinished(bool cancelled) override;
    void record(const TransferRecord& r) override;

private:
    Window w_;
    std::unique_ptr<ReplacePrompt> prompt_;
    std::vector<std::string> failed_; // "report: source: description"
};
