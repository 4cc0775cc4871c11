#include "documents/ui/DocumentPrinter.h"

#include "core/AppPaths.h"
#include "core/AuditLog.h"
#include "core/Encoding.h"
#include "core/Host.h"
#include "core/Language.h"
#include "core/Text.h"
#include "documents/ReportEngine.h"
#include "documents/chart/CurveChart.h"

#include <QDir>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

constexpr int kTextPrint = 226;
constexpr int kTextPreview = 213;
constexpr int kTextNoPrinter = 161;

bool hasPrinter() {
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

bool runPrintDialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

// The engine with the template and the table, titled for the job's kind, and the
// curve's pages after the text.
bool loadEngine(const PrintJob& job, const std::vector<ExtraPage>& curvePages, ReportEngine& engine,
                PrintError& error) {
    if (!storePrintJob(job, reportDatabasePath(appPaths()), error))
        return false;
    engine.setTitle(job.title);
    engine.setExtraPages(curvePages);
    return engine.load(reportDatabasePath(appPaths()), printTemplatePath(appPaths()), error);
}

} // namespace

bool DocumentPrinter::fail(const PrintError& error, int command) {
    showErrorInfo(host_, error.number, error.description, langTitle(command));
    return false;
}

bool DocumentPrinter::acceptDocument(const OpenedDocument& doc, int command) {
    if (doc.refusal) {
        host_.message(langText(doc.refusal), "", Host::Icon::Warning);
        return false;
    }
    if (doc.errorNumber != 0) {
        // Nothing is printed: an empty page would pass for the document.
        PrintError e;
        e.set(doc.errorNumber, doc.error);
        return fail(e, command);
    }
    return true;
}

void DocumentPrinter::takeDocument(const OpenedDocument& doc, int kind,
                                   const TitratorInfo& titrator) {
    printText_ = renderPrintJob(doc.text, doc.fileType, kind, titrator).printText;
    name_ = doc.name;
    curvePages_ = reportCurvePages(doc.text, doc.name);
}

bool DocumentPrinter::printCommand(const OpenedDocument& doc, int kind,
                                   const TitratorInfo& titrator) {
    if (!acceptDocument(doc, kTextPrint))
        return false;
    takeDocument(doc, kind, titrator);
    return PrintSelectedFile(doc.fileType);
}

bool DocumentPrinter::previewCommand(const OpenedDocument& doc, int kind,
                                     const TitratorInfo& titrator) {
    if (!acceptDocument(doc, kTextPreview))
        return false;
    takeDocument(doc, kind, titrator);
    return PreViewSelectedFile(doc.fileType);
}

bool DocumentPrinter::printViewText(const std::string& viewText, int fileType,
                                    const std::string& name, std::vector<ExtraPage> curvePages) {
    name_ = name;
    curvePages_ = std::move(curvePages);
    return print(renderedPrintJob(viewText, fileType));
}

std::filesystem::path DocumentPrinter::defaultPdfPath(const std::string& title) const {
    const std::filesystem::path folder =
        pdfFolder_.empty() ? std::filesystem::path(QDir::homePath().toStdString()) : pdfFolder_;
    const std::string stem = name_.empty() ? title : std::filesystem::path(name_).stem().string();
    return folder / (stem + ".pdf");
}

bool DocumentPrinter::PrintSelectedFile(int fileType) {
    return print(renderedPrintJob(printText_, fileType));
}

void DocumentPrinter::StoreDefaultPrinter(QPrinter& printer, bool& cancelled) {
    printerBefore_ = fromQt(QPrinterInfo::defaultPrinterName());
    cancelled = false;
    if (!(printerCheck_ ? printerCheck_() : hasPrinter())) {
        if (!host_.askYesNo(formatMsg(langText(kTextNoPrinter), {}), langTitle(kTextPrint))) {
            cancelled = true;
            return;
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(
            QString::fromStdString(defaultPdfPath(printer.docName().toStdString()).string()));
    }
    cancelled = !(printerDialog_ ? printerDialog_(printer) : runPrintDialog(printer, parent_));
    printerAfter_ = fromQt(QPrinterInfo::defaultPrinterName());
}

bool DocumentPrinter::print(const PrintJob& job) {
    if (!auditWritable()) { // nothing is printed unrecorded
        host_.message(auditText(kTextAuditRefused), langTitle(kTextPrint), Host::Icon::Critical);
        return false;
    }
    ReportEngine engine;
    PrintError error;
    if (!loadEngine(job, curvePages_, engine, error))
        return fail(error, kTextPrint);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(toQt(job.title));
    engine.applyPageLayout(printer);
    bool cancelled = false;
    StoreDefaultPrinter(printer, cancelled);
    if (cancelled)
        return false;
    const bool printed = engine.paint(printer, error) > 0;
    const bool pdf = printer.outputFormat() == QPrinter::PdfFormat;
    recordPrint(name_.empty() ? job.title : name_,
                pdf ? std::filesystem::path(printer.outputFileName().toStdString())
                    : std::filesystem::path(),
                printer.printerName().toStdString(), job.printText, error);
    return printed || fail(error, kTextPrint);
}

bool DocumentPrinter::PreViewSelectedFile(int fileType) {
    const PrintJob job = renderedPrintJob(printText_, fileType);
    ReportEngine engine;
    PrintError error;
    if (!loadEngine(job, curvePages_, engine, error))
        return fail(error, kTextPreview);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(toQt(job.title));
    engine.applyPageLayout(printer);
    QPrintPreviewDialog dialog(&printer, parent_);
    dialog.setWindowTitle(toQt(job.title));
    dialog.resize(kPreviewWidth, kPreviewHeight);
    PrintError paintError;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* target) {
        PrintError e;
        if (engine.paint(*target, e) == 0 && !paintError.failed())
            paintError = e;
    });
    if (previewRunner_)
        previewRunner_(dialog);
    else
        dialog.exec();
    return !paintError.failed() || fail(paintError, kTextPreview);
}
