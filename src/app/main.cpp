#include "app/ui/MainWindow.h"
#include "core/AppPaths.h"
#include "core/Language.h"
#include "core/Pump.h"
#include "core/Settings.h"
#include "core/Text.h"
#include "core/ui/GuiHost.h"

#include <QApplication>
#include <QDir>
#include <QTranslator>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("VELTRAN");

    AppPaths paths = locateAppPaths(QCoreApplication::applicationDirPath().toStdString());
    std::string dataError;
    const bool dataOk = prepareDataDir(paths, dataError);
    setAppPaths(paths);

    GuiHost host;
    Settings& settings = appSettings();
    if (!loadSettings(paths, host, settings))
        return 1;
    const std::unique_ptr<QTranslator> qtOwn = qtTranslator(langText(kTextQtLocale));
    if (qtOwn)
        QCoreApplication::installTranslator(qtOwn.get());
    if (!dataOk)
        host.message(formatMsg(langText(310), {}) + "\r\r" + dataError, formatMsg(langText(5), {}),
                     Host::Icon::Warning);
    QDir::setCurrent(QString::fromStdString(paths.dataDir.string()));

    MainWindow window(settings, host, defaultPump());
    host.setParent(&window);
    window.show();
    return app.exec();
}
