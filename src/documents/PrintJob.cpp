#include "documents/PrintJob.h"

#include "core/AppPaths.h"
#include "core/Language.h"
#include "documents/PrintLines.h"
#include "documents/PrintTemplate.h"
#include "documents/RenderDocument.h"
#include "documents/ReportDatabase.h"

PrintJob renderPrintJob(const std::string& text, int fileType, int kind,
                        const TitratorInfo& titrator) {
    return renderedPrintJob(renderDocument(text, fileType, kind, titrator), fileType);
}

PrintJob renderedPrintJob(const std::string& printText, int fileType) {
    return {printText, fileType, langText(printTitleText(fileType))};
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
