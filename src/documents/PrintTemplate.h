#pragma once
// The page template of printed documents (print.rpc): an INI text with the
// page size and margins, the fixed-pitch font and its line pitch, and the
// header and footer texts. Placeholders in those texts: {title} (the window
// title of the document's kind), {page}, {pages} and {date} (the print date).
#include "documents/PrintError.h"

#include <filesystem>
#include <string>

inline constexpr const char* kPrintTemplateName = "print.rpc";

struct PrintTemplate {
    // Page, in millimetres; the named sizes are kept by name so a printer gets its own paper.
    std::string pageName = "A4"; // A4, A5, Letter, Legal, or "" for the custom size below
    double pageWidthMm = 210, pageHeightMm = 297;
    bool landscape = false;
    double marginLeftMm = 20, marginRightMm = 15, marginTopMm = 15, marginBottomMm = 15;
    // Font, in points; the line pitch defaults to 1.2 times the size.
    std::string fontFamily = "DejaVu Sans Mono";
    double fontSizePt = 10;
    double linePitchPt = 12;
    std::string headerLeft = "{title}", headerRight;
    std::string footerLeft = "{date}", footerRight = "Page {page} of {pages}";
};

// Reads a template text; values it lacks keep the defaults above. False with the
// reason for a value that is not understood or a page with no room for text.
bool parsePrintTemplate(const std::string& text, PrintTemplate& out, PrintError& error);
// Reads the file; a missing or unreadable template is an error.
bool loadPrintTemplate(const std::filesystem::path& file, PrintTemplate& out, PrintError& error);

// Fills the placeholders of a header or footer text.
std::string fillPlaceholders(const std::string& text, const std::string& title, int page, int pages,
                             const std::string& date);
