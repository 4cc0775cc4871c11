// The main window's Connect button and Communication menu against the simulated titrator.
#include "CliRun.h"
#include "PcSide.h"
#include "RecordingHost.h"
#include "Ser2net.h"
#include "TempDir.h"
#include "app/ui/MainWindow.h"
#include "app/ui/SettingsDialog.h"
#include "core/AppPaths.h"
#include "core/Ini.h"
#include "core/Pump.h"
#include "core/Settings.h"
#include "documents/ExportOptions.h"
#include "link/DeviceSession.h"
#include "link/LinkMonitor.h"
#include "link/Serial.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>

namespace {

const char* const kTexts =
    "[Strings]\n1=English\n5=VELTRAN\n311=Titrator online\n312=Titrator offline\n"
    "348=Please wait\n424=No titrator\n623=Titrator:\n979=The COM port does not exist\n"
    "982=Connect\n983=Disconnect\n984=Disconnected\n442=Select a port\n443=No port\n"
    "41=Add network port...\n42=Network port\n49=%v refused the connection\n"
    "134=No COM Port Available\n140=No communication port available!\n";

// A started window whose ports 1..16 lead nowhere unless a test maps them.
struct Window {
    TempDir dir;
    AppPaths paths;
    RecordingHost host;
    Settings settings;
    std::unique_ptr<MainWindow> window;

    explicit Window(const std::string& ports) {
        std::string config = "[Options]\nCOM=1\n[LanguageFiles]\n1=en.lng\n[HelpFiles]\n1=h.html\n"
                             "[Versions]\nQX502_MIN=1\nQX502_MAX=9\n[Ports]\n";
        for (int n = 1; n <= 16; ++n)
            config += std::to_string(n) + "=" +
                      (dir.path() / ("missing" + std::to_string(n))).string() + "\n";
        dir.write("config.ini", config);
        dir.write("en.lng", kTexts);
        dir.write("h.html", "<p>help</p>");
        paths.programDir = paths.resourceDir = paths.dataDir = dir.path();
        setAppPaths(paths);
        EXPECT_TRUE(loadSettings(paths, host, settings));
        for (std::string rest = ports; !rest.empty();) {
            const std::size_t eq = rest.find('='), end = rest.find(';');
            writeIniString(paths.configPath(), "Ports", rest.substr(0, eq),
                           rest.substr(eq + 1, end - eq - 1));
            rest = end == std::string::npos ? "" : rest.substr(end + 1);
        }
        window = std::make_unique<MainWindow>(settings, host, defaultPump());
        window->show();
    }
    QAction* action(const QString& name) { return window->findChild<QAction*>(name); }
    QString status() { return window->findChild<QLabel*>("statusBar")->text(); }
    QString label() { return window->findChild<QLabel*>("TitratorTypeLabel")->text(); }
};

} // namespace

TEST(MainWindowLink, ConnectButtonBringsTheTitratorOnlineAndBack) {
    simtest::SimProcess sim({"--model", "QX502", "--persist"});
    Window w("1=" + sim.pty());
    auto* connect = w.window->findChild<QPushButton*>("connectBtn");
    EXPECT_EQ(connect->text(), "Connect");
    connect->click();
    EXPECT_TRUE(w.window->linkMonitor().titratorIdentified());
    EXPECT_EQ(w.label(), "Titrator: QX502");
    EXPECT_EQ(connect->text(), "Disconnect");
    EXPECT_TRUE(w.action("smnuCommSub1")->isChecked());
    w.window->linkMonitor().checkLinkTimer();
    EXPECT_EQ(w.status(), "Titrator online - COM 1");

    connect->click();
    EXPECT_FALSE(w.window->linkMonitor().linkEnabled());
    EXPECT_EQ(w.status(), "Disconnected");
    EXPECT_EQ(w.label(), "No titrator");
    EXPECT_EQ(connect->text(), "Connect");
}

TEST(MainWindowLink, ChoosingAMissingPortKeepsTickAndConfiguredPort) {
    simtest::SimProcess one({"--persist"}), five({"--persist"});
    Window w("1=" + one.pty() + ";5=" + five.pty());
    w.window->smnuCommSub_Click(3);
    EXPECT_TRUE(w.action("smnuCommSub1")->isChecked());
    EXPECT_FALSE(w.action("smnuCommSub3")->isChecked());
    EXPECT_EQ(getIniString(w.paths.configPath(), "Options", "COM"), "1");
    EXPECT_EQ(w.status(), "The COM port does not exist");
    EXPECT_EQ(w.settings.comPort, 1);

    w.window->smnuCommSub_Click(5);
    EXPECT_TRUE(w.action("smnuCommSub5")->isChecked());
    EXPECT_FALSE(w.action("smnuCommSub1")->isChecked());
    EXPECT_EQ(getIniString(w.paths.configPath(), "Options", "COM"), "5");
    EXPECT_EQ(w.window->linkMonitor().statusComPort(), 5);
}

TEST(MainWindowLink, RefreshWithoutPortsSaysSoAndShowsTheNoPortEntry) {
    Window w("");
    w.window->mnuCommRefresh_Click();
    ASSERT_EQ(w.host.messages.size(), 1u);
    EXPECT_EQ(w.host.messages[0].text, "No communication port available!");
    EXPECT_TRUE(w.action("smnuCommSub17")->isVisible());
    EXPECT_EQ(w.action("smnuCommSub17")->text(), "No COM Port Available");

    simtest::SimProcess sim({"--persist"});
    writeIniString(w.paths.configPath(), "Ports", "7", sim.pty());
    w.window->mnuCommRefresh_Click();
    EXPECT_EQ(w.host.messages.size(), 1u);
    EXPECT_FALSE(w.action("smnuCommSub17")->isVisible());
    EXPECT_EQ(w.action("smnuCommSub7")->text(), QString::fromStdString("COM7\t" + sim.pty()));
}

// Closing the window while a transfer runs stops the transfer as its abort
// would, and the window closes once the link is free, never inside a wait.
TEST(MainWindowLink, ClosingDuringATransferAbortsItAndClosesAfterwards) {
    TempDir root;
    root.write("QX502/reports/BIG.RPT", std::string(16384, 'r'));
    simtest::SimProcess sim({"--model", "QX502", "--root", root.str(), "--baud", "19200"});
    Window w("1=" + sim.pty());
    w.window->connectBtn_Click();
    ASSERT_TRUE(w.window->linkMonitor().titratorIdentified());

    Serial& serial = w.window->serial();
    TransferSink sink;
    bool closedInsideTheWait = false;
    QTimer::singleShot(300, w.window.get(), [&] {
        closedInsideTheWait = !w.window->close(); // refused for now: the transfer runs
    });
    TransferResult result = TransferResult::Done;
    {
        Serial::Exchange ex(serial);
        ASSERT_TRUE(ex);
        ASSERT_EQ(serial.sendCommandAck("get", "\\QX502\\reports\\BIG.RPT"), TransferResult::Done);
        result = serial.reception(w.dir.path() / "BIG.RPT", sink);
        EXPECT_TRUE(w.window->isVisible());
    }
    EXPECT_TRUE(closedInsideTheWait);
    EXPECT_EQ(result, TransferResult::Aborted);
    EXPECT_TRUE(defaultPump().waitUntil([&] { return !w.window->isVisible(); }, 3000));
    EXPECT_FALSE(std::filesystem::exists(w.dir.path() / "BIG.RPT"));
    EXPECT_EQ(getIniString(w.paths.configPath(), "Options", "CrtPath"), w.settings.pcPath);
}

TEST(SettingsDialogPorts, OpenPortsAreListedTheCurrentIsChosenAndOkOpensTheChoice) {
    simtest::SimProcess one({"--persist"}), three({"--persist"});
    Window w("1=" + one.pty() + ";3=" + three.pty());
    w.window->smnuCommSub_Click(3);
    appExportOptions() = exportOptionsFor(0, 0, 0);
    SettingsDialog d(w.settings, w.window->session(), w.host, appExportOptions(), {},
                     w.window.get());
    auto* combo = d.findChild<QComboBox*>("COMCombo");
    auto* ok = d.findChild<QPushButton*>("CmdOK");
    EXPECT_EQ(combo->itemText(0), "Select a port ");
    EXPECT_TRUE(combo->itemText(1).startsWith(" COM 1   "));
    EXPECT_TRUE(combo->currentText().startsWith(" COM 3   ")) << combo->currentText().toStdString();
    EXPECT_TRUE(ok->isEnabled());
    combo->setCurrentIndex(0);
    d.COMCombo_Click(0);
    EXPECT_FALSE(ok->isEnabled());
    combo->setCurrentIndex(1);
    d.COMCombo_Click(1);
    EXPECT_TRUE(ok->isEnabled());
    d.findChild<QComboBox*>("csvSeparatorCb")->setCurrentIndex(1);
    EXPECT_EQ(appExportOptions().listSeparator, ";"); // at once, before OK
    d.CmdOK_Click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(getIniString(w.paths.configPath(), "Options", "COM"), "1");
    EXPECT_EQ(getIniString(w.paths.configPath(), "Options", "csvSep"), "1");
    EXPECT_EQ(w.window->linkMonitor().statusComPort(), 1);
}

TEST(SettingsDialogPorts, CancelStoresNothingAndOkWhileOnlineLeavesThePort) {
    simtest::SimProcess sim({"--model", "QX502", "--persist"});
    Window w("1=" + sim.pty());
    w.window->connectBtn_Click();
    ASSERT_TRUE(w.window->linkMonitor().titratorOnline());
    {
        SettingsDialog d(w.settings, w.window->session(), w.host, appExportOptions(), {},
                         w.window.get());
        d.findChild<QComboBox*>("decimaSeparatorCb")->setCurrentIndex(1);
        d.reject();
        EXPECT_EQ(appExportOptions().decimalSeparator, ","); // kept for this run
        EXPECT_EQ(getIniString(w.paths.configPath(), "Options", "decSep"), "");
    }
    SettingsDialog d(w.settings, w.window->session(), w.host, appExportOptions(), {},
                     w.window.get());
    auto* combo = d.findChild<QComboBox*>("COMCombo");
    EXPECT_FALSE(combo->isEnabled());
    EXPECT_EQ(combo->currentText(), "COM1");
    d.CmdOK_Click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(w.window->serial().isPortOpen());
    EXPECT_TRUE(w.window->linkMonitor().titratorOnline());
}

// A refused firmware ends the program; the PC folder is stored as on every exit.
TEST(MainWindowLink, ARefusedFirmwareStillStoresThePcFolder) {
    simtest::SimProcess sim({"--model", "QX502", "--persist"});
    Window w("1=" + sim.pty());
    writeIniString(w.paths.configPath(), "Versions", "QX502_MAX", "2");
    w.settings.pcPath = (w.dir.path() / "reports").string();
    w.window->connectBtn_Click();
    ASSERT_FALSE(w.host.messages.empty());
    EXPECT_EQ(getIniString(w.paths.configPath(), "Options", "CrtPath"), w.settings.pcPath);
}

// A stored third order survives the dialog; F1 opens help the modal dialog does not block.
TEST(SettingsDialogPorts, OrderOfExportSurvivesAndHelpCanBeRead) {
    Window w("");
    writeIniString(w.paths.configPath(), "Options", "orderBy", "2");
    appExportOptions() = loadExportOptions(w.paths.configPath());
    SettingsDialog d(
        w.settings, w.window->session(), w.host, appExportOptions(),
        [&](int topic) { w.window->showContextHelp(topic); }, w.window.get());
    d.setWindowModality(Qt::ApplicationModal);
    d.show();
    EXPECT_EQ(d.findChild<QComboBox*>("orderByCb")->currentIndex(), 2);
    EXPECT_EQ(appExportOptions().orderBy, 2);

    QTest::keyClick(&d, Qt::Key_F1);
    auto* help = d.findChild<QWidget*>("helpWindow"); // a child: the dialog does not block it
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    d.CmdOK_Click();
    EXPECT_EQ(getIniString(w.paths.configPath(), "Options", "orderBy"), "2");
}

// An adapter's [Ports] mapping stays only when its port opened.
TEST(SettingsDialogPorts, AnAdapterMappingStaysOnlyWhenItsPortOpened) {
    simtest::SimProcess sim({"--persist"});
    Window w("");
    const std::string before = w.dir.read("config.ini");
    PortChoice choice{2, (w.dir.path() / "gone").string(), "USB", true};
    EXPECT_FALSE(openPortChoice(w.window->serial(), w.settings, choice, w.host));
    EXPECT_EQ(w.dir.read("config.ini"), before);

    choice.device = sim.pty();
    EXPECT_TRUE(openPortChoice(w.window->serial(), w.settings, choice, w.host));
    EXPECT_EQ(getIniString(w.paths.configPath(), "Ports", "2"), sim.pty());
    EXPECT_EQ(getIniString(w.paths.configPath(), "Options", "COM"), "2");
}

// "Add network port...": the address is tried, offered only when it answered,
// and stored only by OK, as an adapter's mapping is.
TEST(SettingsDialogPorts, AddNetworkPortOffersOnlyAnAddressThatAnsweredAndOkStoresIt) {
    simtest::SimProcess sim({"--persist"});
    simtest::Ser2net server(sim.pty(), simtest::NetMode::Rfc2217);
    ASSERT_TRUE(server.running()) << server.log();
    const int serverPort = std::stoi(server.address().substr(server.address().rfind(':') + 1));
    Window w("");
    writeIniString(w.paths.configPath(), "Options", "ConnectTimeout", "1");
    const std::string before = w.dir.read("config.ini");
    SettingsDialog d(w.settings, w.window->session(), w.host, appExportOptions(), {},
                     w.window.get());
    auto* combo = d.findChild<QComboBox*>("COMCombo");
    ASSERT_EQ(combo->itemText(combo->count() - 1), "Add network port...");
    const auto add = [&](int form, int port) {
        QTimer::singleShot(0, &d, [&] {
            auto* ask = d.findChild<QDialog*>("networkPort");
            ASSERT_NE(ask, nullptr);
            ask->findChild<QComboBox*>("netFormCb")->setCurrentIndex(form);
            ask->findChild<QLineEdit*>("netHostEd")->setText("127.0.0.1");
            ask->findChild<QSpinBox*>("netPortSb")->setValue(port);
            ask->findChild<QPushButton*>("netOk")->click();
        });
        combo->setCurrentIndex(combo->count() - 1);
        d.COMCombo_Click(combo->count() - 1);
    };

    const int refused = simtest::freeTcpPort();
    add(0, refused);
    ASSERT_EQ(w.host.messages.size(), 1u);
    EXPECT_EQ(w.host.messages[0].text,
              "tcp://127.0.0.1:" + std::to_string(refused) + " refused the connection");
    EXPECT_EQ(combo->count(), 2); // "No port" and the add entry, as before
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(w.dir.read("config.ini"), before);

    add(1, serverPort);
    EXPECT_EQ(w.host.messages.size(), 1u);
    EXPECT_EQ(combo->currentText().toStdString(), " COM 1   " + server.address());
    EXPECT_TRUE(d.findChild<QPushButton*>("CmdOK")->isEnabled());
    EXPECT_EQ(w.dir.read("config.ini"), before); // offered, not yet stored
    d.CmdOK_Click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(getIniString(w.paths.configPath(), "Ports", "1"), server.address());
    EXPECT_EQ(getIniString(w.paths.configPath(), "Options", "COM"), "1");
}

// The settings dialog, the Communication menu and veltran-cli ports show one
// survey: the same address under every number, the same numbers that open.
TEST(PortSurveyAgreement, DialogMenuAndCliAgreeOnEveryNumber) {
    simtest::SimProcess direct({"--persist"}), served({"--persist"});
    simtest::Ser2net server(served.pty(), simtest::NetMode::Raw);
    ASSERT_TRUE(server.running()) << server.log();
    Window w("1=" + direct.pty() + ";2=" + server.address() +
             ";5=tcp://127.0.0.1:" + std::to_string(simtest::freeTcpPort()));
    writeIniString(w.paths.configPath(), "Options", "ConnectTimeout", "1");

    std::map<int, std::string> cliAddress;
    std::set<int> cliAvailable;
    const CliResult cli = runCli(w.dir.str(), "ports --json", "", Stderr::Dropped);
    ASSERT_EQ(cli.exitCode, 0);
    std::istringstream lines(cli.out);
    for (std::string line; std::getline(lines, line);) {
        const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
        if (o["type"] != "port")
            continue;
        cliAddress[o["number"].toInt()] = o["address"].toString().toStdString();
        if (o["available"].toBool())
            cliAvailable.insert(o["number"].toInt());
    }
    ASSERT_EQ(cliAddress.size(), 16u);
    EXPECT_EQ(cliAvailable, (std::set<int>{1, 2}));

    w.window->mnuCommRefresh_Click();
    for (int n = 1; n <= 16; ++n)
        EXPECT_EQ(w.action(QString("smnuCommSub%1").arg(n))->text().toStdString(),
                  "COM" + std::to_string(n) + "\t" + cliAddress[n]);

    SettingsDialog d(w.settings, w.window->session(), w.host, appExportOptions(), {},
                     w.window.get());
    auto* combo = d.findChild<QComboBox*>("COMCombo");
    std::set<int> listed;
    for (int i = 1; i < combo->count() - 1; ++i) { // between the prompt and the add entry
        const std::string text = combo->itemText(i).toStdString();
        const int n = std::stoi(text.substr(5));
        listed.insert(n);
        EXPECT_EQ(text, " COM " + std::to_string(n) + "   " + cliAddress[n]);
    }
    EXPECT_EQ(listed, cliAvailable);
}
