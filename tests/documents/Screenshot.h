#pragma once
// Pictures of windows for a person to look at, when VT_SCREENSHOT_DIR names a folder.
#include <QString>
#include <QWidget>

inline void keepScreenshot(QWidget& w, const char* name) {
    const QByteArray dir = qgetenv("VT_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        w.grab().save(QString::fromUtf8(dir) + "/" + name + ".png");
}
