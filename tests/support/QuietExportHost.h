#pragma once
// An export host with no one at the screen: replaces every file and keeps the errors.
#include "documents/ExportRun.h"

#include <vector>

struct QuietExportHost : ExportHost {
    std::vector<ExportError> errors;
    void message(const std::string&, const std::string&, Icon) override {}
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    int checkFileName(const std::string&) override { return 1; }
    void initReplace() override {}
    int checkReplaceOnPc(const std::string&) override { return kReplaceAll; }
    bool cancelRequested() override { return false; }
    void showExportError(const ExportError& e) override { errors.push_back(e); }
};
