#include "documents/PrintJob.h"

#include "core/AppPaths.h"
#include "core/AuditLog.h"
#include "core/Encoding.h"
#include "core/Language.h"
#include "core/Sha256.h"
#include "documents/PrintLines.h"
#include "documents/PrintTemplate.h"
#include "documents/RenderDocument.h"
#include "documents/ReportDatabase.h"

#include <QString>

PrintJob renderPrintJob(const std::string& text, int fileType, int kind,
                        const TitratorInfo& titrator) {
    return renderedPrintJob(renderDocument(text, fileType, kind, titrator), fileType);
}

PrintJob renderedPrintJob(const std::string& printText, int fileType) {
    return {printText, fileType, langText(printTitleText(fileType))};
}

bool recordPrint(const std::string& document, const std::filesystem::path& pdf,
                 const std::string& printer, const std::string& printText,
                 const PrintError& error) {
    AuditEvent e;
    e.operation = audit::kPrint;
    e.source = document;
    e.target = pdf.empty() ? printer : pdf.string();
    std::string unread;
    if (!pdf.empty())
        sha256OfFile(pdf, e.sha256, unread, &e.size);
    else {
        e.sha256 = sha256Hex(printText);
        e.size = static_cast<std::int64_t>(printText.size());
    }
    if (error.failed()) {
        e.result = audit::kFailed;
        e.reason = toQt(error.description).toStdString();
    }
    return recordAudit(e);
}

bool storePrintJob(const PrintJob& job, const std::filesystem::path& database, PrintError& error) {
    const std::vector<std::string> lines = buildPrintLines(job.printText, job.fileType);
    ReportDatabase db(database);
    const bool ok = db.EmptySettingsMDB() && db.PutSettingsIntoMDB(lines, lines.size());
    error = db.error();
    return ok;
}

std::filesystem::path reportDatabasePath(const AppPaths& paths) {
    return paths.dataDir / kReportDatabaseName;
}

std::filesystem::path printTemplatePath(const AppPaths& paths) {
    return paths.resolve(kPrintTemplateName);
}
