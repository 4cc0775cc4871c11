#include "documents/PrintTemplate.h"

#include "core/Ini.h"
#include "core/Numbers.h"
#include "core/RegularFile.h"
#include "core/Text.h"

#include <array>
#include <cerrno>

namespace {

constexpr std::size_t kMaxTemplateBytes = 64 * 1024;
constexpr double kMinFontPt = 4, kMaxFontPt = 72;
constexpr double kMaxPageMm = 2000;
constexpr double kLinePitchPerSize = 1.2;
// Header and footer take two line pitches each; the body needs room for one more.
constexpr int kFrameLines = 4;
constexpr double kMmPerPoint = 25.4 / 72;

struct NamedPage {
    const char* name;
    double widthMm, heightMm;
};
constexpr std::array<NamedPage, 4> kPages{
    {{"A4", 210, 297}, {"A5", 148, 210}, {"Letter", 215.9, 279.4}, {"Legal", 215.9, 355.6}}};

bool readNumber(const IniFile& ini, const char* section, const char* key, double low, double high,
                double& out, PrintError& error) {
    const std::string v = ini.value(section, key);
    if (v.empty())
        return true;
    const auto n = num::parseDouble(v);
    if (!n || *n < low || *n > high) {
        error.set(EINVAL, std::string("print template: [") + section + "] " + key + "=" + v +
                              " is not a number from " + num::fixed(low, 0) + " to " +
                              num::fixed(high, 0));
        return false;
    }
    out = *n;
    return true;
}

// "A4", "Letter", ... or "WIDTHxHEIGHT" in millimetres.
bool readPageSize(const std::string& v, PrintTemplate& t, PrintError& error) {
    if (v.empty())
        return true;
    for (const NamedPage& p : kPages)
        if (text::upper(v) == text::upper(p.name)) {
            t.pageName = p.name;
            t.pageWidthMm = p.widthMm;
            t.pageHeightMm = p.heightMm;
            return true;
        }
    const std::size_t x = text::lower(v).find('x');
    const auto w = x == std::string::npos ? std::nullopt : num::parseDouble(v.substr(0, x));
    const auto h = x == std::string::npos ? std::nullopt : num::parseDouble(v.substr(x + 1));
    if (!w || !h || *w <= 0 || *h <= 0 || *w > kMaxPageMm || *h > kMaxPageMm) {
        error.set(EINVAL, "print template: [Page] Size=" + v +
                              " is neither A4, A5, Letter, Legal nor WIDTHxHEIGHT in mm");
        return false;
    }
    t.pageName.clear();
    t.pageWidthMm = *w;
    t.pageHeightMm = *h;
    return true;
}

bool readOrientation(const std::string& v, PrintTemplate& t, PrintError& error) {
    const std::string u = text::upper(v);
    if (u.empty() || u == "PORTRAIT" || u == "LANDSCAPE") {
        t.landscape = u == "LANDSCAPE";
        return true;
    }
    error.set(EINVAL, "print template: [Page] Orientation=" + v +
                          " is neither Portrait nor "
                          "Landscape");
    return false;
}

bool checkRoom(const PrintTemplate& t, PrintError& error) {
    const double w = t.landscape ? t.pageHeightMm : t.pageWidthMm;
    const double h = t.landscape ? t.pageWidthMm : t.pageHeightMm;
    const double bodyW = w - t.marginLeftMm - t.marginRightMm;
    const double bodyH = h - t.marginTopMm - t.marginBottomMm;
    if (bodyW < t.fontSizePt * kMmPerPoint * 10 ||
        bodyH < (kFrameLines + 1) * t.linePitchPt * kMmPerPoint) {
        error.set(EINVAL, "print template: the margins leave no room for the text");
        return false;
    }
    return true;
}

} // namespace

bool parsePrintTemplate(const std::string& content, PrintTemplate& t, PrintError& error) {
    const IniFile ini = IniFile::parse(content);
    if (!readPageSize(ini.value("Page", "Size"), t, error) ||
        !readOrientation(ini.value("Page", "Orientation"), t, error))
        return false;
    const double maxMargin = kMaxPageMm / 2;
    if (!readNumber(ini, "Page", "MarginLeft", 0, maxMargin, t.marginLeftMm, error) ||
        !readNumber(ini, "Page", "MarginRight", 0, maxMargin, t.marginRightMm, error) ||
        !readNumber(ini, "Page", "MarginTop", 0, maxMargin, t.marginTopMm, error) ||
        !readNumber(ini, "Page", "MarginBottom", 0, maxMargin, t.marginBottomMm, error) ||
        !readNumber(ini, "Font", "Size", kMinFontPt, kMaxFontPt, t.fontSizePt, error))
        return false;
    t.linePitchPt = t.fontSizePt * kLinePitchPerSize;
    if (!readNumber(ini, "Font", "LinePitch", t.fontSizePt, 3 * kMaxFontPt, t.linePitchPt, error))
        return false;
    if (const std::string family = ini.value("Font", "Family"); !family.empty())
        t.fontFamily = family;
    // A section that is there describes its whole line: a key it lacks is an empty corner.
    if (ini.hasSection("Header")) {
        t.headerLeft = ini.value("Header", "Left");
        t.headerRight = ini.value("Header", "Right");
    }
    if (ini.hasSection("Footer")) {
        t.footerLeft = ini.value("Footer", "Left");
        t.footerRight = ini.value("Footer", "Right");
    }
    return checkRoom(t, error);
}

bool loadPrintTemplate(const std::filesystem::path& file, PrintTemplate& out, PrintError& error) {
    std::string content, why;
    bool missing = false;
    if (!readRegularFile(file, kMaxTemplateBytes, content, why, &missing)) {
        error.set(missing ? ENOENT : EIO,
                  missing ? "the print template " + file.string() + " is missing"
                          : "cannot read the print template: " + why);
        return false;
    }
    out = PrintTemplate{};
    return parsePrintTemplate(content, out, error);
}

std::string fillPlaceholders(const std::string& text, const std::string& title, int page, int pages,
                             const std::string& date) {
    std::string out = replaceAll(text, "{title}", title);
    out = replaceAll(out, "{page}", std::to_string(page));
    out = replaceAll(out, "{pages}", std::to_string(pages));
    return replaceAll(out, "{date}", date);
}
