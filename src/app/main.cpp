#include "app/ui/MainWindow.h"
#include "core/AppPaths.h"
#include "core/Language.h"
#include "core/Pump.h"
#include "core/Settings.h"
#include "core/Text.h"
#include "core/ui/GuiHost.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

namespace {

// Built into the program, so every window has it wherever the program runs from.
QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QString(":/icons/veltran-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("VELTRAN");
    QApplication::setWindowIcon(appIcon());
    QGuiApplication::setDesktopFileName("org.veltran.Veltran");

    AppPaths paths = locateAppPaths(QCoreApplication::applicationDirPath().toStdString());
    std::string dataError;
    const bool dataOk = prepareDataDir(paths, dataError);
    setAppPaths(paths);

    GuiHost host;
    Settings& settings = appSettings();
    if (!loadSettings(paths, host, settings))
        return 1;
    if (!dataOk)
        host.message(formatMsg(langText(310), {}) + "\r\r" + dataError, formatMsg(langText(5), {}),
                     Host::Icon::Warning);
    QDir::setCurrent(QString::fromStdString(paths.dataDir.string()));

    MainWindow window(settings, host, defaultPump());
    host.setParent(&window);
    window.show();
    return app.exec();
}
