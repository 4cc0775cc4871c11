#include "app/ui/MainWindow.h"
#include "core/AppPaths.h"
#include "core/AuditLog.h"
#include "core/Encoding.h"
#include "core/Language.h"
#include "core/Pump.h"
#include "core/Settings.h"
#include "core/Text.h"
#include "core/Version.h"
#include "core/ui/GuiHost.h"
#include "link/SerialHost.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QTranslator>
#include <iostream>
#include <string_view>

namespace {

// Built into the program, so every window has it wherever the program runs from.
QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QString(":/icons/veltran-%1.png").arg(size), QSize(size, size));
    return icon;
}

const char* const kHelp =
    "Usage: veltran [OPTIONS]\n"
    "VELTRAN: the desktop companion for laboratory bench titrators.\n"
    "\n"
    "Options:\n"
    "  -h, --help     print this help and exit\n"
    "  --version      print the program's name and version and exit\n"
    "Qt's own options (-platform NAME, -style NAME, ...) are taken as well.\n"
    "\n"
    "The data folder (config.ini, debug.log) is $VELTRAN_HOME when set, else the\n"
    "program's folder when a config.ini is there, else ~/.config/veltran/.\n"
    "\n"
    "Exit status:\n"
    "  0  the window was closed\n"
    "  1  config.ini names no language: nothing to start with\n";

// --help and --version are answered before the QApplication exists: they need no display.
bool answeredWithoutWindow(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--version") {
            std::cout << "veltran " << appVersionText() << "\n";
            return true;
        }
        if (word == "--help" || word == "-h") {
            std::cout << kHelp;
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    if (answeredWithoutWindow(argc, argv))
        return 0;
    QApplication app(argc, argv);
    QApplication::setApplicationName("VELTRAN");
    QApplication::setWindowIcon(appIcon());
    QGuiApplication::setDesktopFileName("org.veltran.Veltran");

    AppPaths paths = locateAppPaths(QCoreApplication::applicationDirPath().toStdString());
    std::string dataError;
    const bool dataOk = prepareDataDir(paths, dataError);
    setAppPaths(paths);
    setAuditLog(std::make_unique<AuditLog>(paths.dataDir / AuditLog::kFileName, "veltran"));

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
    auditLog()->onTornLine = [&window] {
        window.setStatusBar(auditText(kTextAuditTorn), colour::kRed);
    };
    if (!auditLog()->check())
        window.setStatusBar(auditText(kTextAuditUnwritable), colour::kRed);
    host.setParent(&window);
    window.show();
    const int code = app.exec();
    auditLog()->onTornLine = {}; // the window goes first
    return code;
}
