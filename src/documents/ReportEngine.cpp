#include "documents/ReportEngine.h"

#include "core/AtomicFile.h"
#include "core/Encoding.h"
#include "core/Language.h"
#include "core/Text.h"
#include "documents/FixedFont.h"
#include "documents/ReportDatabase.h"

#include <QBuffer>
#include <QDateTime>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <cerrno>
#include <cmath>

namespace {

constexpr double kPointsPerInch = 72;
// The header takes the first two line pitches of the printable area (text, then
// a rule), the footer the last two.
constexpr int kHeaderLines = 2;
constexpr int kFooterLines = 2;
constexpr double kRuleWidthPt = 0.5;
constexpr const char* kDateFormat = "yyyy-MM-dd HH:mm";
// Devices round the printable area to whole points and pixels; a line that misses
// by less than this share of a pitch still fits.
constexpr double kPitchTolerance = 0.05;
constexpr int kTextNotWritable = 193;
constexpr int kTextNoRoom = 194;
constexpr int kTextPageRefused = 195; // %v = the page

QPageSize pageSizeOf(const PrintTemplate& t) {
    if (t.pageName == "A4")
        return QPageSize(QPageSize::A4);
    if (t.pageName == "A5")
        return QPageSize(QPageSize::A5);
    if (t.pageName == "Letter")
        return QPageSize(QPageSize::Letter);
    if (t.pageName == "Legal")
        return QPageSize(QPageSize::Legal);
    return QPageSize(QSizeF(t.pageWidthMm, t.pageHeightMm), QPageSize::Millimeter);
}

struct Grid {
    double width = 0; // of the printable area, device pixels
    double height = 0;
    double pitch = 0; // line pitch
    double ascent = 0;
    int columns = 0;
    int totalLines = 0; // header, body and footer
    int bodyLines() const { return totalLines - kHeaderLines - kFooterLines; }
};

Grid gridOf(const QPagedPaintDevice& device, const QFont& font, const PrintTemplate& t) {
    const QFontMetricsF fm(font, &device);
    Grid g;
    g.width = device.width();
    g.height = device.height();
    g.pitch = t.linePitchPt * device.logicalDpiY() / kPointsPerInch;
    g.ascent = fm.ascent();
    g.columns = static_cast<int>(std::floor(g.width / fm.horizontalAdvance(QLatin1Char('0'))));
    g.totalLines = static_cast<int>(std::floor(g.height / g.pitch + kPitchTolerance));
    return g;
}

void drawBand(QPainter& p, const Grid& g, double top, const std::string& left,
              const std::string& right) {
    const QRectF band(0, top, g.width, g.pitch);
    p.drawText(band, Qt::AlignLeft | Qt::AlignVCenter, toQt(left));
    p.drawText(band, Qt::AlignRight | Qt::AlignVCenter, toQt(right));
}

} // namespace

bool ReportEngine::load(const std::filesystem::path& database,
                        const std::filesystem::path& templateFile, PrintError& error) {
    if (!loadPrintTemplate(templateFile, template_, error))
        return false;
    ReportDatabase db(database);
    if (!db.readLines(rows_)) {
        error = db.error();
        return false;
    }
    return true;
}

void ReportEngine::applyPageLayout(QPagedPaintDevice& device) const {
    const PrintTemplate& t = template_;
    device.setPageLayout(
        QPageLayout(pageSizeOf(t), t.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                    QMarginsF(t.marginLeftMm, t.marginTopMm, t.marginRightMm, t.marginBottomMm),
                    QPageLayout::Millimeter));
}

int ReportEngine::paint(QPagedPaintDevice& device, PrintError& error) const {
    QPainter p;
    if (!p.begin(&device)) {
        error.set(EIO, langText(kTextNotWritable));
        return 0;
    }
    const QFont font = fixedPitchFont(template_.fontFamily, template_.fontSizePt);
    p.setFont(font);
    const Grid g = gridOf(device, font, template_);
    if (g.bodyLines() < 1 || g.columns < 1) {
        p.end();
        error.set(EINVAL, langText(kTextNoRoom));
        return 0;
    }
    const std::vector<PrintedPage> pages = paginate(rows_, g.columns, g.bodyLines());
    const int textPages = static_cast<int>(pages.size());
    const int count = textPages + static_cast<int>(extra_.size());
    const std::string date =
        date_.empty() ? QDateTime::currentDateTime().toString(kDateFormat).toStdString() : date_;
    QPen rule(Qt::black);
    rule.setWidthF(kRuleWidthPt * device.logicalDpiY() / kPointsPerInch);
    const PrintTemplate& t = template_;
    for (int n = 0; n < count; ++n) {
        if (n > 0 && !device.newPage()) {
            p.end();
            error.set(EIO, formatMsg(langText(kTextPageRefused), {std::to_string(n + 1)}));
            return 0;
        }
        drawBand(p, g, 0, fillPlaceholders(t.headerLeft, title_, n + 1, count, date),
                 fillPlaceholders(t.headerRight, title_, n + 1, count, date));
        const double footerTop = g.height - g.pitch;
        drawBand(p, g, footerTop, fillPlaceholders(t.footerLeft, title_, n + 1, count, date),
                 fillPlaceholders(t.footerRight, title_, n + 1, count, date));
        p.setPen(rule);
        p.drawLine(QPointF(0, 1.5 * g.pitch), QPointF(g.width, 1.5 * g.pitch));
        p.drawLine(QPointF(0, footerTop - 0.5 * g.pitch),
                   QPointF(g.width, footerTop - 0.5 * g.pitch));
        p.setPen(Qt::black);
        if (n >= textPages) {
            const double top = kHeaderLines * g.pitch;
            p.save();
            extra_[static_cast<std::size_t>(n - textPages)](
                p, QRectF(0, top, g.width, g.height - top - kFooterLines * g.pitch));
            p.restore();
            continue;
        }
        double baseline = kHeaderLines * g.pitch + g.ascent;
        for (const std::string& line : pages[static_cast<std::size_t>(n)]) {
            p.drawText(QPointF(0, baseline), toQt(line));
            baseline += g.pitch;
        }
    }
    if (!p.end()) {
        error.set(EIO, langText(kTextNotWritable));
        return 0;
    }
    return count;
}

int ReportEngine::writePdf(const std::filesystem::path& file, PrintError& error) const {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    int pages = 0;
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(toQt(title_));
        pdf.setCreator(QStringLiteral("VELTRAN"));
        applyPageLayout(pdf);
        pages = paint(pdf, error);
    }
    if (pages == 0)
        return 0;
    std::string why;
    if (!writeFileAtomically(file, buffer.data().toStdString(), &why)) {
        error.set(EIO, why);
        return 0;
    }
    return pages;
}
