// The upgrade window on an in-memory titrator: its controls, captions and
// states as the user sees and drives them.
#include "upgrade/ui/UpgradeWindow.h"

#include "LibraryEnv.h"
#include "RecordingHost.h"
#include "RecordingView.h"
#include "ScriptedPeer.h"
#include "TempDir.h"
#include "VirtualPump.h"
#include "core/Ini.h"
#include "core/Language.h"
#include "link/DeviceSession.h"
#include "link/Frame.h"
#include "link/Serial.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

std::vector<std::string> framesFor(const std::string& text) {
    return {frame::buildFrame('t', 1, ""), frame::buildFrame('p', 0, text)};
}

template <typename T> T* child(QWidget& w, const char* name) {
    T* found = w.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

TEST(UpgradeWindow, ShowsEveryStateAndDrivesTheUpgrade) {
    setLanguageTable(readLanguageTable(IniFile::load(VT_SOURCE_DIR "/data/lang/english.lng")));
    LibraryEnv library;
    TempDir dir;
    const auto file = dir.write("50231096.upg", std::string(700, '\\'));

    VirtualPump pump;
    auto port = std::make_unique<ScriptedPeer>(pump);
    ScriptedPeer& peer = *port;
    RecordingView view;
    DeviceSession session(view, view, pump, {{}, {}, "/dev/fake", false}, std::move(port));
    session.serial().setClock([&] { return pump.now; });
    ASSERT_TRUE(session.serial().openPort(1, 19200));
    peer.answerFor = [](const std::string& c) -> std::optional<std::vector<std::string>> {
        if (c == "info ")
            return framesFor("QX502 I502v3.00 S/N 0412");
        if (c.rfind("upgcs ", 0) == 0)
            return framesFor(c.substr(6));
        if (c == "upgcheck ")
            return framesFor("ok");
        return std::vector<std::string>{};
    };
    RecordingHost host;
    UpgradeWindow window(session, host);
    window.show();

    auto* getSW = child<QPushButton>(window, "GetSWButton");
    auto* select = child<QPushButton>(window, "SelectFile");
    auto* upgrade = child<QPushButton>(window, "UpgButton");
    auto* abort = child<QPushButton>(window, "AbortButton");
    auto* fileLabel = child<QLabel>(window, "lblUpgFile");
    auto* perc = child<QLabel>(window, "UpgFilePerc");
    auto* bar = child<QProgressBar>(window, "UpgFileProgress");

    // Idle: fixed and language captions, no file yet, Abort hidden.
    EXPECT_EQ(getSW->text(), "Get Software Version");
    EXPECT_EQ(select->text(), "Select File");
    EXPECT_EQ(upgrade->text(), "Upgrade");
    EXPECT_EQ(abort->text(), "Abort");
    EXPECT_EQ(fileLabel->text(), "(no upgrade file selected)");
    EXPECT_EQ(perc->text(), "0 %");
    EXPECT_FALSE(abort->isVisible());

    QTest::mouseClick(getSW, Qt::LeftButton);
    EXPECT_EQ(child<QLineEdit>(window, "lblDevice")->text(), "QX502 I502v3.00 S/N 0412");

    QString dialogTitle;
    QStringList filters;
    QTimer::singleShot(0, [&] {
        auto* dialog = window.findChild<QFileDialog*>("SelFileDialog");
        ASSERT_NE(dialog, nullptr);
        dialogTitle = dialog->windowTitle();
        filters = dialog->nameFilters();
        dialog->selectFile(QString::fromStdString(file.string()));
        static_cast<QDialog*>(dialog)->accept();
    });
    QTest::mouseClick(select, Qt::LeftButton);
    EXPECT_EQ(dialogTitle, "Select Upgrade File");
    EXPECT_EQ(filters, (QStringList{"Upgrade Files (*.upg)", "All Files (*.*)"}));
    EXPECT_EQ(fileLabel->text().toStdString(), file.string());

    // Transferring, seen while the second block goes out.
    bool transferring = false;
    peer.onFrame = [&](const std::string& f) {
        if (frame::header(f) == "\\p0001")
            transferring = abort->isVisible() && abort->isEnabled() && !upgrade->isEnabled() &&
                           !getSW->isEnabled() && !select->isEnabled() && bar->value() == 33 &&
                           perc->text() == "33 %";
    };
    QTest::keyClick(upgrade, Qt::Key_Space);
    EXPECT_TRUE(transferring);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(window.isVisible()); // "ok" closes it

    // Opening again: idle, the file still chosen.
    QTimer::singleShot(0, &window, [&] { window.done(QDialog::Rejected); });
    window.exec();
    EXPECT_EQ(perc->text(), "0 %");
    EXPECT_TRUE(upgrade->isEnabled());
    EXPECT_FALSE(abort->isVisibleTo(&window));
    EXPECT_EQ(fileLabel->text().toStdString(), file.string());
}

} // namespace
