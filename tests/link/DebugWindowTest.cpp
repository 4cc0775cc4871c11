#include "link/ui/DebugWindow.h"

#include "TempDir.h"
#include "core/Ini.h"
#include "core/Language.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

// Readable failure messages.
void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

class LinkDebugWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setLanguageTable(readLanguageTable(IniFile::load(VT_SOURCE_DIR "/data/lang/english.lng")));
    }
    TempDir dir;
    Trace trace{dir.path() / "debug.log", [] { return std::string("10:00:00 AM"); }};
    DebugWindow window;

    void SetUp() override { window.attach(trace); }
};

} // namespace

TEST_F(LinkDebugWindow, FixedCaptionsAndControls) {
    EXPECT_EQ(window.windowTitle(), "Debug Window");
    auto* clear = window.findChild<QPushButton*>("ClearCmd");
    ASSERT_NE(clear, nullptr);
    EXPECT_EQ(clear->text(), "Clear");
    EXPECT_EQ(window.findChild<QLabel*>("Label1")->text(), "Send message");
    EXPECT_EQ(window.findChild<QLabel*>("Label2")->text(), "Receive message");
    EXPECT_EQ(window.findChild<QListWidget*>("SendList"), window.sendList());
    EXPECT_EQ(window.findChild<QListWidget*>("ReceiveList"), window.receiveList());
}

TEST_F(LinkDebugWindow, TracedLinesLandInTheirListWithTheNewestSelected) {
    trace.traceSent("!echo01A2\r");
    trace.traceReceived("ACK");
    trace.traceSent("!ver 40227\r");
    ASSERT_EQ(window.sendList()->count(), 2);
    ASSERT_EQ(window.receiveList()->count(), 1);
    EXPECT_EQ(window.sendList()->currentRow(), 1);
    EXPECT_EQ(window.receiveList()->currentRow(), 0);
    EXPECT_TRUE(window.receiveList()->item(0)->text().startsWith(" R 10:00:00 AM e(0) 3 : ACK"));
    EXPECT_EQ(window.recvLabel()->text(), "ACK");
    EXPECT_EQ(window.recvHexLabel()->text(), "41 43 4B");
    EXPECT_EQ(window.sendHexLabel()->text(), "21 76 65 72 20 34 30 32 32 37 0D");
    // Nothing received, nothing listed.
    trace.traceReceived("");
    EXPECT_EQ(window.receiveList()->count(), 1);
}

TEST_F(LinkDebugWindow, ClickingAnOlderLineShowsIt) {
    trace.traceReceived("first");
    trace.traceReceived("second");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QRect rect = window.receiveList()->visualItemRect(window.receiveList()->item(0));
    QTest::mouseClick(window.receiveList()->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(window.receiveList()->currentRow(), 0);
    EXPECT_EQ(window.recvLabel()->text(), "first");
    EXPECT_EQ(window.recvHexLabel()->text(), "66 69 72 73 74");
}

TEST_F(LinkDebugWindow, EightBitTextAndMarkers) {
    trace.traceReceived("caf\xE9");
    EXPECT_EQ(window.recvLabel()->text(), QString::fromUtf8("caf\u00e9"));
    EXPECT_EQ(window.recvHexLabel()->text(), "63 61 66 E9");
    trace.traceSent("--- connect");
    EXPECT_EQ(window.sendList()->item(0)->text(), "  --- connect");
    EXPECT_EQ(window.sendLabel()->text(), "--- connect");
}

TEST_F(LinkDebugWindow, ClearEmptiesListsAndLabels) {
    trace.traceSent("abc");
    trace.traceReceived("ACK");
    window.show();
    QTest::mouseClick(window.findChild<QPushButton*>("ClearCmd"), Qt::LeftButton);
    EXPECT_EQ(window.sendList()->count(), 0);
    EXPECT_EQ(window.receiveList()->count(), 0);
    for (QLabel* label :
         {window.sendLabel(), window.sendHexLabel(), window.recvLabel(), window.recvHexLabel()})
        EXPECT_TRUE(label->text().isEmpty());
    // Lines keep coming after a clear.
    trace.traceReceived("ACK");
    EXPECT_EQ(window.receiveList()->count(), 1);
}
