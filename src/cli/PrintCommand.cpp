#include "cli/PrintCommand.h"

#include "cli/CliLink.h"
#include "cli/ExitCodes.h"
#include "cli/RenderCommand.h"
#include "core/AppPaths.h"
#include "core/AuditLog.h"
#include "core/FileTypes.h"
#include "core/Language.h"
#include "documents/PrintJob.h"
#include "documents/PrintLines.h"
#include "documents/ReportEngine.h"
#include "documents/chart/CurveChart.h"

#include <QApplication>
#include <filesystem>
#include <ostream>

namespace {

int failed(const PrintError& e, std::ostream& err) {
    err << "print failed (" << e.number << "): " << e.description << '\n';
    return cliexit::kUsage;
}

} // namespace

int cmdPrint(const RenderOptions& o, std::ostream& out, std::ostream& err) {
    std::string text;
    if (!loadCliDocument(o, text, err) || !cliAuditWritable(err))
        return cliexit::kUsage;
    const int type = documentType(o, text);
    if (!o.type && !printAccepts(type)) {
        err << o.file << ": " << cliText(langText(kTextCannotPrint)) << '\n';
        return cliexit::kUsage;
    }
    const std::filesystem::path pdf =
        o.outPath.empty() ? std::filesystem::path(o.file).filename().replace_extension(".pdf")
                          : std::filesystem::path(o.outPath);

    const PrintJob job = renderPrintJob(text, type, documentKind(o, type, text), o.titrator);
    const std::filesystem::path database = reportDatabasePath(appPaths());
    PrintError error;
    ReportEngine engine;
    engine.setTitle(job.title);
    engine.setExtraPages(reportCurvePages(text, std::filesystem::path(o.file).filename().string()));
    if (!storePrintJob(job, database, error) ||
        !engine.load(database, printTemplatePath(appPaths()), error))
        return failed(error, err);
    const int pages = engine.writePdf(pdf, error);
    if (!recordPrint(o.file, pdf, "", job.printText, error))
        err << "the audit log cannot be written: " << auditLog()->lastError() << '\n';
    if (pages == 0)
        return failed(error, err);
    out << pdf.string() << ": " << pages << (pages == 1 ? " page" : " pages") << '\n';
    return cliexit::kOk;
}

std::unique_ptr<QCoreApplication> cliApplication(int& argc, char** argv,
                                                 const std::string& command) {
    if (command != "print" && command != "plot")
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt Charts draws through a graphics scene, which wants a QApplication.
    return std::make_unique<QApplication>(argc, argv);
}
