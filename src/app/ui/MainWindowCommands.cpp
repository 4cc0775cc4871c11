// The main window's file commands: open, print and preview, export, copy,
// move and delete, and drag and drop between the panes. Each collects what the
// panes hold and hands it to the logic of its folder.
#include "app/FailedFiles.h"
#include "app/TransferLog.h"
#include "app/ui/GuiExportHost.h"
#include "app/ui/MainWindow.h"
#include "app/ui/PaneTree.h"
#include "app/ui/TransferLogWindow.h"
#include "core/AuditLog.h"
#include "core/FileTypes.h"
#include "core/Language.h"
#include "core/Settings.h"
#include "core/Text.h"
#include "core/ui/GuiHost.h"
#include "documents/ExportOptions.h"
#include "documents/PcDocument.h"
#include "documents/ui/CurveWindow.h"
#include "documents/ui/DocumentPrinter.h"
#include "documents/ui/ViewerWindow.h"
#include "files/CopyFiles.h"
#include "files/DeviceFiles.h"
#include "files/ui/ProgressWindow.h"
#include "files/ui/ReplaceWindow.h"
#include "link/DeviceSession.h"
#include "link/LinkMonitor.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <algorithm>

namespace {

constexpr int kTextNothingSelected = 306;
constexpr int kTextSeveralSelected = 332;
constexpr int kTextSelectTitle = 334;
constexpr int kTextLogLink = 1195; // %v of %v files went
constexpr int kTextLogLinkTip = 1210;

Series seriesOf(SeriesCode code) {
    return code == SeriesCode::QX50x ? Series::QX50x
                                     : (code == SeriesCode::QX53x ? Series::QX53x : Series::None);
}

} // namespace

// ---------------------------------------------------------------- the windows they use

void MainWindow::createFileWindows() {
    progress_ = new ProgressWindow(this);
    replace_ = new ReplaceWindow(this, progress_);
    // The abort button also stops a transfer that reports to another sink.
    connect(progress_, &ProgressWindow::abortPressed, this, [this] { session_->abortTransfer(); });
    transferLog_ = std::make_unique<TransferLog>();
    lastTransfer_ = std::make_unique<LastTransfer>();
    // The link sits at the right end of the status bar, beside the messages.
    transferLink_ = new QLabel(statusBar_);
    transferLink_->setObjectName("transferLogLink");
    transferLink_->setTextFormat(Qt::RichText);
    transferLink_->setToolTip(languageUiText(kTextLogLinkTip));
    transferLink_->hide();
    auto* row = new QHBoxLayout(statusBar_);
    row->setContentsMargins(0, 0, 4, 0);
    row->addStretch();
    row->addWidget(transferLink_);
    connect(transferLink_, &QLabel::linkActivated, this, &MainWindow::showTransferLog);
}

// ---------------------------------------------------------------- the transfer log

void MainWindow::showTransferLog() {
    if (!transferLogWindow_) {
        transferLogWindow_ = new TransferLogWindow(*transferLog_, host_, this);
        transferLogWindow_->setRetry([this] { retryFailedTransfers(); });
        transferLog_->changed = [this] { transferLogWindow_->refresh(); };
    }
    transferLogWindow_->show();
    transferLogWindow_->raise();
}

void MainWindow::transferEnded() {
    if (transferLogWindow_)
        transferLogWindow_->refresh();
    const TransferLog::Tally tally = transferLog_->lastTally();
    if (tally.files < 2)
        return;
    const QString text = uiText(formatMsg(
        langText(kTextLogLink), {std::to_string(tally.done), std::to_string(tally.files)}));
    transferLink_->setText("<a href=\"log\">" + text.toHtmlEscaped() + "</a>");
    transferLink_->show();
}

void MainWindow::retryFailedTransfers() {
    const std::vector<TransferLog::Retry> entries = transferLog_->retryEntries();
    // Nothing starts while another operation holds the window.
    if (entries.empty() || !centralWidget()->isEnabled())
        return;
    const LastTransfer last = *lastTransfer_;
    switch (last.kind) {
    case LastTransfer::Kind::Copy:
    case LastTransfer::Kind::Delete: {
        devfiles::CopyRequest r = retryCopyRequest(last.copy, entries);
        // The titrator pane as it is now, when it still shows that category.
        if (panes_->fileType() == r.fileType) {
            r.titratorEntries.clear();
            for (const PaneLine& line : panes_->titratorLines())
                r.titratorEntries.push_back(line.text);
        }
        runFiles(r, last.kind == LastTransfer::Kind::Delete);
        break;
    }
    case LastTransfer::Kind::Export:
        runExport(retryExportRequest(last.exportRequest, entries));
        break;
    case LastTransfer::Kind::None:
        break;
    }
}

ViewerWindow& MainWindow::viewer() {
    if (!viewer_)
        viewer_ = new ViewerWindow(host_, this);
    viewer_->setOutputFolder(panes_->pcPath());
    return *viewer_;
}

DocumentPrinter& MainWindow::printer() {
    if (!printer_)
        printer_ = std::make_unique<DocumentPrinter>(host_, this);
    printer_->setPdfFolder(panes_->pcPath());
    return *printer_;
}

CurveWindow& MainWindow::compareWindow() {
    if (!compare_)
        compare_ = new CurveWindow(host_, this);
    compare_->setOutputFolder(panes_->pcPath());
    return *compare_;
}

TitratorInfo MainWindow::documentTitrator() const {
    if (!session_->monitor().titratorOnline())
        return {};
    const TitratorIdentity& id = session_->monitor().identity();
    return {id.firmwareVersion, seriesOf(id.seriesCode), id.typeCode};
}

int MainWindow::titratorKind() const {
    return session_->monitor().titratorOnline()
               ? ::titratorKind(session_->monitor().identity().titType)
               : 0;
}

// ---------------------------------------------------------------- the selection

std::vector<PaneLine> MainWindow::selectedLines(int source) const {
    const PaneTree* list = source == 1 ? titList : pcList;
    const std::vector<PaneLine>& lines = source == 1 ? panes_->titratorLines() : panes_->pcLines();
    std::vector<PaneLine> out;
    for (int row : selectedRows(list))
        if (row >= 0 && static_cast<std::size_t>(row) < lines.size())
            out.push_back(lines[static_cast<std::size_t>(row)]);
    return out;
}

// Steps 2 to 4 of the open command: exactly one entry, and a name the titrator takes.
bool MainWindow::oneSelectedEntry(PaneLine& entry) {
    const std::vector<PaneLine> lines = selectedLines(panes_->source());
    if (lines.size() != 1) {
        host_.message(
            formatMsg(langText(lines.empty() ? kTextNothingSelected : kTextSeveralSelected), {}),
            formatMsg(langText(kTextSelectTitle), {}), Host::Icon::Warning);
        return false;
    }
    entry = lines.front();
    return panes_->checkFileName(entry.name) == 1;
}

OpenedDocument MainWindow::documentOf(const PaneLine& entry, DocumentUse use) {
    if (panes_->source() == 0)
        return openPcDocument(panes_->pcPath(), entry.name, use);
    OpenedDocument doc;
    doc.name = entry.name;
    doc.fileType = panes_->titratorFileType();
    devfiles::FileLink link{*session_, host_, *progress_};
    progress_->clearAbort();
    const TransferResult result = devfiles::fetchFileText(link, entry.name, doc.text, doc.fileType);
    if (!succeeded(result)) {
        doc.errorNumber = static_cast<int>(result);
        doc.error = entry.name + ": " + langText(resultText(result));
    }
    return doc;
}

// ---------------------------------------------------------------- open, print, preview

bool MainWindow::compareSelectedReports() {
    const std::vector<PaneLine> lines = selectedLines(panes_->source());
    const bool reports =
        lines.size() > 1 && std::all_of(lines.begin(), lines.end(), [](const PaneLine& l) {
            return selectedFileType(l.name) == ftype::kReports;
        });
    if (!reports)
        return false;
    std::vector<OpenedDocument> docs;
    for (const PaneLine& line : lines) {
        if (panes_->checkFileName(line.name) != 1)
            return true;
        docs.push_back(documentOf(line, DocumentUse::View));
    }
    compareWindow().compare(docs);
    return true;
}

void MainWindow::openSelectedFile() {
    setActive(false);
    PaneLine entry;
    if (!compareSelectedReports() && oneSelectedEntry(entry)) {
        const OpenedDocument doc = documentOf(entry, DocumentUse::View);
        // A titrator file whose fetch failed shows nothing: the status bar said why.
        if (panes_->source() == 0 || doc.ok())
            viewer().viewDocument(doc, titratorKind(), documentTitrator());
    }
    setActive(true);
}

void MainWindow::printSelectedFile(bool preview) {
    setActive(false);
    PaneLine entry;
    if (oneSelectedEntry(entry)) {
        const OpenedDocument doc =
            documentOf(entry, preview ? DocumentUse::Preview : DocumentUse::Print);
        // As for View: a titrator file whose fetch failed was reported there, once.
        const bool fetched = panes_->source() == 0 || doc.ok();
        if (fetched && preview)
            printer().previewCommand(doc, titratorKind(), documentTitrator());
        else if (fetched)
            printer().printCommand(doc, titratorKind(), documentTitrator());
    }
    setActive(true);
}

// ---------------------------------------------------------------- export

void MainWindow::exportSelectedReports() {
    ExportRequest request;
    request.pane = panes_->source() == 1 ? ExportPane::Titrator : ExportPane::Pc;
    for (const PaneLine& line : selectedLines(panes_->source()))
        request.entries.push_back({line.text, panes_->pcPath()});
    request.destination = panes_->pcPath();
    request.fileType = panes_->source() == 1 ? panes_->titratorFileType() : panes_->fileType();
    request.trayFolder = session_->monitor().folders().trayFolder;
    request.language = settings_.languageIndex;
    request.options = appExportOptions();
    runExport(request);
}

void MainWindow::runExport(const ExportRequest& request) {
    if (!auditAllows())
        return;
    lastTransfer_->kind = LastTransfer::Kind::Export;
    lastTransfer_->exportRequest = request;
    transferLog_->beginOperation();
    GuiExportHost host({host_, *session_, *progress_, *replace_,
                        [this](const std::string& e) { return panes_->checkFileName(e); },
                        [this](bool on) { setActive(on); },
                        [this](bool cancelled) {
                            panes_->showFiles();
                            if (!cancelled)
                                panes_->clickShowCsvFiles(true); // the new CSV files
                        },
                        transferLog_.get()});
    ::exportSelectedReports(request, host);
    transferEnded();
}

// ---------------------------------------------------------------- copy, move, delete

devfiles::CopyRequest MainWindow::copyRequest(int source, bool move) const {
    devfiles::CopyRequest r;
    r.source = source;
    for (const PaneLine& line : selectedLines(source))
        r.selected.push_back({line.name, line.text});
    r.fileType = panes_->fileType();
    r.pcFolder = panes_->pcPath();
    for (const PaneLine& line : panes_->titratorLines())
        r.titratorEntries.push_back(line.text);
    r.move = move;
    r.pcInTrayFolder = panes_->pcInTray();
    r.titratorInTrayFolder = panes_->titratorInTray();
    r.csvShown = panes_->csvShown();
    r.currentName = (source == 1 ? titList : pcList)->currentName();
    return r;
}

void MainWindow::applyCopyResult(const devfiles::CopyResult& result) {
    if (result.refreshPc)
        panes_->showFiles();
    if (result.refreshTitrator)
        panes_->showListing(result.titratorListing);
    if (result.refreshTitrator && !result.linkLost)
        panes_->showFreeSlots();
    panes_->sync();
}

void MainWindow::copySelected(int source, bool move) {
    runFiles(copyRequest(source, move), false);
}

void MainWindow::deleteSelected() {
    runFiles(copyRequest(panes_->source(), false), true);
}

// Nothing happens unrecorded: a log that cannot be written refuses the operation.
bool MainWindow::auditAllows() {
    if (auditWritable())
        return true;
    setStatusBar(auditText(kTextAuditRefused), colour::kRed);
    return false;
}

// Copy, move or delete: recorded in the transfer log, remembered for Retry.
void MainWindow::runFiles(const devfiles::CopyRequest& request, bool deleting) {
    if (!auditAllows())
        return;
    *lastTransfer_ = {
        deleting ? LastTransfer::Kind::Delete : LastTransfer::Kind::Copy, request, {}};
    transferLog_->beginOperation();
    devfiles::CopyUi ui{host_, *progress_, *replace_, transferLog_.get()};
    setActive(false);
    const devfiles::CopyResult result = deleting ? devfiles::deleteFiles(*session_, request, ui)
                                                 : devfiles::copyFile(*session_, request, ui);
    setActive(true);
    applyCopyResult(result);
    transferEnded();
    reportFailedFiles(host_, result.failed);
}

// ---------------------------------------------------------------- drag and drop

// A drop is the Copy command from the drag's pane; the active pane stays as it was.
bool MainWindow::dropAccepted(const QObject* source, const PaneTree* target) const {
    const int from = source == titList ? 1 : (source == pcList ? 0 : -1);
    return from >= 0 && (from == 1) != (target == titList) && dropAllowed(from);
}

bool MainWindow::dropAllowed(int from) const {
    if (!session_->monitor().titratorOnline() || !panes_->copyEnabledFor(from))
        return false;
    if (from == 0 && panes_->state().category() == kTrayReports)
        return false;
    // Tray sets are never dropped out of a pane that shows the inside of one.
    const bool inTray = from == 1 ? panes_->titratorInTray() : panes_->pcInTray();
    if (inTray)
        for (const PaneLine& line : selectedLines(from))
            if (text::upper(line.name.substr(0, 4)) == "TRAY")
                return false;
    return true;
}

bool MainWindow::dropEvent(PaneTree* target, QEvent* event) {
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDropEvent*>(event);
        if (dropAccepted(drag->source(), target))
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    if (event->type() != QEvent::Drop)
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    if (dropAccepted(drop->source(), target)) {
        drop->acceptProposedAction();
        copySelected(drop->source() == titList ? 1 : 0, false);
    }
    return true;
}
