// The main window's Print and Preview commands: the type rules, the preview
// window, and what the user sees when something fails.
#include "documents/ui/DocumentPrinter.h"

#include "EnglishTexts.h"
#include "PdfText.h"
#include "RecordingHost.h"
#include "Screenshot.h"
#include "TempDir.h"
#include "core/AppPaths.h"
#include "documents/ReportDatabase.h"

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <cerrno>
#include <gtest/gtest.h>

namespace {

const std::filesystem::path kSamples = VT_SOURCE_DIR "/data/samples/pc";

struct Fixture {
    TempDir dir;
    RecordingHost host;
    AppPaths paths;
    DocumentPrinter printer{host, nullptr};
    int dialogs = 0;
    int previews = 0;
    std::string pdf;

    Fixture() {
        useEnglishTexts();
        paths.programDir = paths.dataDir = dir.path();
        paths.resourceDir = VT_SOURCE_DIR "/data";
        setAppPaths(paths);
        pdf = (dir.path() / "out.pdf").string();
        printer.setPrinterCheck([] { return true; });
        printer.setPrinterDialog([this](QPrinter& p) {
            ++dialogs;
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(QString::fromStdString(pdf));
            return true;
        });
        printer.setPreviewRunner([this](QPrintPreviewDialog&) { ++previews; });
    }
    std::vector<std::string> table() {
        ReportDatabase db(paths.dataDir / kReportDatabaseName);
        std::vector<std::string> lines;
        db.readLines(lines);
        return lines;
    }
};

} // namespace

TEST(DocumentPrinter, ASequenceFromThePcPaneIsPrintedButNotPreviewed) {
    Fixture f;
    const OpenedDocument preview = openPcDocument(kSamples, "SEQ0003.MTD", DocumentUse::Preview);
    EXPECT_FALSE(f.printer.previewCommand(preview, 0, {}));
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0].text,
              "You cannot preview this type of file.Please select a report or a method!");
    EXPECT_EQ(f.previews, 0);

    const OpenedDocument print = openPcDocument(kSamples, "SEQ0003.MTD", DocumentUse::Print);
    EXPECT_TRUE(f.printer.printCommand(print, 0, {}));
    EXPECT_EQ(f.dialogs, 1);
    EXPECT_EQ(f.host.messages.size(), 1u);
    EXPECT_NE(pdfText(f.pdf).find("Sample Changer Sequence"), std::string::npos);
    EXPECT_NE(f.printer.printText().find("Sequence Name:"), std::string::npos);
}

TEST(DocumentPrinter, PreviewIsTitledSizedAndShowsThePages) {
    Fixture f;
    int pages = 0;
    QString title;
    QSize size;
    f.printer.setPreviewRunner([&](QPrintPreviewDialog& d) {
        title = d.windowTitle();
        size = d.size();
        d.show();
        auto* widget = d.findChild<QPrintPreviewWidget*>();
        widget->updatePreview();
        QApplication::processEvents();
        pages = widget->pageCount();
        keepScreenshot(d, "print-preview");
        d.close();
    });
    const OpenedDocument doc = openPcDocument(kSamples, "QX0101AV.MTD", DocumentUse::Preview);
    EXPECT_TRUE(f.printer.previewCommand(doc, 0, {}));
    EXPECT_EQ(title, "VELTRAN - Method");
    EXPECT_EQ(size, QSize(DocumentPrinter::kPreviewWidth, DocumentPrinter::kPreviewHeight));
    EXPECT_EQ(pages, 1);
    EXPECT_TRUE(f.host.messages.empty());
}

TEST(DocumentPrinter, FailuresShowTheRunTimeErrorAndPrintNothing) {
    struct Case {
        const char* name;
        std::function<void(Fixture&)> spoil;
        OpenedDocument doc;
        int number;
        const char* detail;
    };
    OpenedDocument report;
    report.fileType = 4;
    report.text = "\tSecond\r\n";
    OpenedDocument fetchFailed = report;
    fetchFailed.errorNumber = EIO;
    fetchFailed.error = "the titrator did not answer";
    for (const Case& c : {
             Case{"failed fetch", [](Fixture&) {}, fetchFailed, EIO, "did not answer"},
             {"missing template",
              [](Fixture& f) {
                  f.paths.resourceDir = f.dir.path();
                  setAppPaths(f.paths);
              },
              report, ENOENT, "print.rpc is missing"},
             {"database is a folder",
              [](Fixture& f) {
                  std::filesystem::remove(f.paths.dataDir / kReportDatabaseName);
                  std::filesystem::create_directory(f.paths.dataDir / kReportDatabaseName);
              },
              report, 0, "VUVez.mdb"},
         }) {
        Fixture f;
        OpenedDocument first = report;
        first.text = "\tFirst\r\n";
        ASSERT_TRUE(f.printer.printCommand(first, 0, {})) << c.name;
        f.dialogs = 0;
        c.spoil(f);
        EXPECT_FALSE(f.printer.printCommand(c.doc, 0, {})) << c.name;
        EXPECT_FALSE(f.printer.previewCommand(c.doc, 0, {})) << c.name;
        EXPECT_EQ(f.dialogs, 0) << c.name;
        EXPECT_EQ(f.previews, 0) << c.name;
        ASSERT_EQ(f.host.messages.size(), 2u) << c.name;
        const std::string& shown = f.host.messages[0].text;
        if (c.number != 0) {
            EXPECT_EQ(shown.rfind("Run-time error " + std::to_string(c.number) + ":\r", 0), 0u)
                << shown;
        }
        EXPECT_EQ(shown.rfind("Run-time error ", 0), 0u) << shown;
        EXPECT_NE(shown.find(c.detail), std::string::npos) << shown;
        if (std::string(c.name) == "failed fetch") { // the last good document is untouched
            EXPECT_EQ(f.table().at(3), "  First");
        }
    }
}

TEST(DocumentPrinter, WithoutAPrinterAPdfNamedAfterTheDocumentIsOfferedInThePcFolder) {
    Fixture f;
    f.printer.setPrinterCheck([] { return false; });
    QPrinter::OutputFormat format = QPrinter::NativeFormat;
    QString fileName;
    f.printer.setPrinterDialog([&](QPrinter& p) {
        ++f.dialogs;
        format = p.outputFormat();
        fileName = p.outputFileName();
        return false;
    });
    OpenedDocument doc;
    doc.name = "TI_00031.RPT";
    doc.fileType = 4;
    doc.text = "x";
    f.printer.setPdfFolder(f.dir.path() / "pc");
    f.host.answer = false;
    EXPECT_FALSE(f.printer.printCommand(doc, 0, {}));
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0].icon, Host::Icon::Question);
    EXPECT_NE(f.host.messages[0].text.find("PDF"), std::string::npos);
    EXPECT_EQ(f.dialogs, 0);

    f.host.answer = true;
    EXPECT_FALSE(f.printer.printCommand(doc, 0, {})); // cancelled in the dialog
    EXPECT_EQ(f.dialogs, 1);
    EXPECT_EQ(format, QPrinter::PdfFormat);
    EXPECT_EQ(fileName.toStdString(), (f.dir.path() / "pc" / "TI_00031.pdf").string());
    EXPECT_EQ(f.host.messages.size(), 2u); // the question again, no error
}
