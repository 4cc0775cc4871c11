#pragma once
// Print and Print Preview for a window: the print lines into the report
// database, the printer dialog, and the report engine onto the chosen printer
// or into the preview. Each window that prints has its own.
//
// Every entry point returns whatever happened; a refused type, a failed fetch
// or any error on the way is shown to the user here, and the caller only
// re-enables its commands.
#include "documents/PcDocument.h"
#include "documents/PrintJob.h"
#include "documents/ReportEngine.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class Host;
class QPrinter;
class QPrintPreviewDialog;
class QWidget;

class DocumentPrinter {
public:
    DocumentPrinter(Host& host, QWidget* parent) : host_(host), parent_(parent) {}

    // The main window's Print and Preview commands for a document from
    // openPcDocument (PC pane) or from a fetch (titrator pane, with the fetch's
    // error if it failed). Renders it into the print text, then prints; a report
    // with a table of measurements gets its curve on a page after the text.
    bool printCommand(const OpenedDocument& doc, int kind, const TitratorInfo& titrator);
    bool previewCommand(const OpenedDocument& doc, int kind, const TitratorInfo& titrator);

    // Print or preview the current print text as a document of this type.
    bool PrintSelectedFile(int fileType);
    bool PreViewSelectedFile(int fileType);
    const std::string& printText() const { return printText_; }
    // The viewer's print button: its view text, already rendered, and the curve as
    // the viewer draws it, to the printer. name: the document's file name.
    bool printViewText(const std::string& viewText, int fileType, const std::string& name = "",
                       std::vector<ExtraPage> curvePages = {});

    // A PDF printed without a printer is offered here, named after the document;
    // without a folder, in the home folder.
    void setPdfFolder(const std::filesystem::path& folder) { pdfFolder_ = folder; }
    std::filesystem::path defaultPdfPath(const std::string& title) const;

    // The printer dialog. Records the default printer's name before and after it;
    // with no printer installed it offers a PDF file instead.
    void StoreDefaultPrinter(QPrinter& printer, bool& cancelled);
    const std::string& printerBefore() const { return printerBefore_; }
    const std::string& printerAfter() const { return printerAfter_; }

    // Tests replace the dialogs: the printer dialog returns false when cancelled,
    // the preview runner shows the preview until it is closed.
    using PrinterDialog = std::function<bool(QPrinter&)>;
    using PreviewRunner = std::function<void(QPrintPreviewDialog&)>;
    using PrinterCheck = std::function<bool()>; // true when a printer is installed
    void setPrinterDialog(PrinterDialog d) { printerDialog_ = std::move(d); }
    void setPreviewRunner(PreviewRunner r) { previewRunner_ = std::move(r); }
    void setPrinterCheck(PrinterCheck c) { printerCheck_ = std::move(c); }

    static constexpr int kPreviewWidth = 640;
    static constexpr int kPreviewHeight = 420;

private:
    // command: the language text of the command, the title of its messages.
    bool acceptDocument(const OpenedDocument& doc, int command);
    void takeDocument(const OpenedDocument& doc, int kind, const TitratorInfo& titrator);
    bool print(const PrintJob& job);
    bool fail(const PrintError& error, int command);

    Host& host_;
    QWidget* parent_;
    std::string printText_;
    std::string name_;                  // of the document being printed
    std::vector<ExtraPage> curvePages_; // after its text
    std::filesystem::path pdfFolder_;
    std::string printerBefore_, printerAfter_;
    PrinterDialog printerDialog_;
    PreviewRunner previewRunner_;
    PrinterCheck printerCheck_;
};
