#include "documents/FixedFont.h"

#include <QFontDatabase>

namespace {

constexpr const char* kFallbacks[] = {"Courier New",    "DejaVu Sans Mono", "Liberation Mono",
                                      "Noto Sans Mono", "Nimbus Mono PS",   "Monospace"};

bool installedFixed(const QString& family) {
    return QFontDatabase::hasFamily(family) && QFontDatabase::isFixedPitch(family);
}

} // namespace

QFont fixedPitchFont(const std::string& family, double pointSize) {
    QString chosen = QString::fromStdString(family);
    if (!installedFixed(chosen)) {
        chosen.clear();
        for (const char* f : kFallbacks)
            if (installedFixed(f)) {
                chosen = f;
                break;
            }
    }
    QFont font =
        chosen.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QFont(chosen);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setKerning(false);
    font.setPointSizeF(pointSize);
    return font;
}
