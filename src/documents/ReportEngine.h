#pragma once
// The report engine: reads the rows of the report database and lays them out
// on pages with the print template, on a printer or into a PDF file. The
// header carries the title, the footer the print date and "Page N of M".
#include "documents/PageLayout.h"
#include "documents/PrintError.h"
#include "documents/PrintTemplate.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class QPagedPaintDevice;
class QPainter;
class QRectF;

// A page after the text pages (a report's curve): it paints into the body of the
// page, between header and footer, in device pixels.
using ExtraPage = std::function<void(QPainter&, const QRectF& body)>;

class ReportEngine {
public:
    // Reads the template and the table. False with the reason.
    bool load(const std::filesystem::path& database, const std::filesystem::path& templateFile,
              PrintError& error);
    // Or takes them as they are (tests, and callers that hold the rows already).
    void setRows(std::vector<std::string> rows) { rows_ = std::move(rows); }
    void setTemplate(const PrintTemplate& t) { template_ = t; }

    void setTitle(const std::string& title) { title_ = title; }  // 8-bit, as the language has it
    void setPrintDate(const std::string& date) { date_ = date; } // default: now
    // Pages that follow the text pages, numbered on from them.
    void setExtraPages(std::vector<ExtraPage> pages) { extra_ = std::move(pages); }
    const std::vector<std::string>& rows() const { return rows_; }
    const PrintTemplate& pageTemplate() const { return template_; }

    // The template's page size, orientation and margins onto a printer or PDF
    // writer; a printer dialog may change them afterwards.
    void applyPageLayout(QPagedPaintDevice& device) const;

    // Paints every page; the page count, or 0 with the reason when the device
    // cannot be painted on (a PDF file that cannot be written, a printer gone).
    int paint(QPagedPaintDevice& device, PrintError& error) const;

    // A PDF of the document, written whole or not at all. The page count, or 0.
    int writePdf(const std::filesystem::path& file, PrintError& error) const;

private:
    std::vector<std::string> rows_;
    PrintTemplate template_;
    std::string title_;
    std::string date_;
    std::vector<ExtraPage> extra_;
};
