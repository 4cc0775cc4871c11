#include "app/ui/MainWindow.h"
#include "core/AppPaths.h"
#include "core/AuditLog.h"
#include "core/Encoding.h"
#include "core/Language.h"
#include "core/Pump.h"
#include "core/Settings.h"
#include "core/Text.h"
#include "core/ui/GuiHost.h"
#include "link/SerialHost.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("VELTRAN");

    AppPaths paths = locateAppPaths(QCoreApplication::applicationDirPath().toStdString());
    std::string dataError;
    const bool dataOk = prepareDataDir(paths, dataError);
    setAppPaths(paths);
    setAuditLog(std::make_unique<AuditLog>(paths.dataDir / AuditLog::kFileName, "veltran"));

    GuiHost host;
    Settings& settings = appSettings();
    if (!loadSettings(paths, host, settings))
        return 1;
    if (!dataOk)
        host.message(formatMsg(langText(310), {}) + "\r\r" + dataError, formatMsg(langText(5), {}),
                     Host::Icon::Warning);
    QDir::setCurrent(QString::fromStdString(paths.dataDir.string()));

    MainWindow window(settings, host, defaultPump());
    if (!auditLog()->check())
        window.setStatusBar(
            formatMsg(langText(109), {fromQt(QString::fromStdString(auditLog()->lastError()))}),
            colour::kRed);
    host.setParent(&window);
    window.show();
    return app.exec();
}
