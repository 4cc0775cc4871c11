#pragma once
// A started main window over copies of the sample folders, offline or connected
// to a simulated titrator (a QX502 unless `simArgs` say otherwise) that serves the
// sample titrator tree and logs every command it receives.
#include "PcSide.h"
#include "RecordingHost.h"
#include "TempDir.h"
#include "app/ui/MainWindow.h"
#include "core/AppPaths.h"
#include "core/Ini.h"
#include "core/Pump.h"
#include "core/Settings.h"
#include "link/LinkMonitor.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QTest>
#include <QTreeView>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace panestest {

namespace fs = std::filesystem;

struct Window {
    TempDir dir;
    AppPaths paths;
    RecordingHost host;
    Settings settings;
    std::unique_ptr<simtest::SimProcess> sim;
    std::unique_ptr<MainWindow> w;

    explicit Window(bool withTitrator, std::vector<std::string> simArgs = {},
                    bool connectNow = true,
                    const std::string& language = VT_RESOURCE_DIR "/lang/english.lng") {
        ::setenv("VELTRAN_SUMVAL", VT_BIN_DIR "/libsumval.so", 1);
        fs::copy(VT_SOURCE_DIR "/data/samples/pc", dir.path() / "pc", fs::copy_options::recursive);
        fs::copy(VT_SOURCE_DIR "/data/samples/titrator", dir.path() / "titrator",
                 fs::copy_options::recursive);
        std::string ports = "1=" + (dir.path() / "none").string();
        if (withTitrator) {
            std::vector<std::string> args{"--model",
                                          "QX502",
                                          "--root",
                                          (dir.path() / "titrator").string(),
                                          "--persist",
                                          "--log",
                                          (dir.path() / "sim.log").string()};
            args.insert(args.end(), simArgs.begin(), simArgs.end()); // a later --model wins
            sim = std::make_unique<simtest::SimProcess>(args);
            ports = "1=" + sim->pty();
        }
        dir.write(
            "config.ini",
            "[Options]\nLanguage=1\nCOM=1\nCrtPath=" + (dir.path() / "pc").string() +
                "\n[LanguageFiles]\n1=" + language +
                "\n[Versions]\nQX502_MIN=1\nQX502_MAX=9\nQX503_MIN=1\nQX503_MAX=9\nQX532_MIN=1\n"
                "QX532_MAX=9\n"
                "[Ports]\n" +
                ports + "\n");
        paths.programDir = paths.resourceDir = paths.dataDir = dir.path();
        setAppPaths(paths);
        EXPECT_TRUE(loadSettings(paths, host, settings));
        w = std::make_unique<MainWindow>(settings, host, defaultPump());
        w->show();
        if (withTitrator && connectNow)
            connect();
    }
    void connect() {
        w->connectBtn_Click();
        EXPECT_TRUE(w->linkMonitor().titratorIdentified());
    }
    // The commands the titrator received, one a line.
    std::vector<std::string> simLog() const {
        std::istringstream in(dir.read("sim.log"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    // The listings the titrator was asked for, in order.
    std::vector<std::string> listings() const {
        std::vector<std::string> out;
        for (const std::string& line : simLog())
            if (line.rfind("extdir ", 0) == 0)
                out.push_back(line.substr(7));
        return out;
    }
    template <typename T> T* get(const char* name) { return w->findChild<T*>(name); }
    QTreeView* list(const char* name) { return get<QTreeView>(name); }
    // The real names of a pane's rows, in the order shown.
    std::vector<std::string> items(const char* name) {
        std::vector<std::string> out;
        const QAbstractItemModel* m = list(name)->model();
        for (int i = 0; i < m->rowCount(); ++i)
            out.push_back(m->index(i, 0).data(Qt::UserRole).toByteArray().toStdString());
        return out;
    }
    // What a column shows, row by row.
    std::vector<std::string> column(const char* name, int c) {
        std::vector<std::string> out;
        const QAbstractItemModel* m = list(name)->model();
        for (int i = 0; i < m->rowCount(); ++i)
            out.push_back(m->index(i, c).data().toString().toStdString());
        return out;
    }
    void click(const char* name) { QTest::mouseClick(get<QAbstractButton>(name), Qt::LeftButton); }
    // Clicks the entry, as a user picks it: the list gets the focus and the selection
    // (with Ctrl, one more entry).
    void select(const char* listName, const std::string& name,
                Qt::KeyboardModifiers modifiers = {}) {
        QTreeView* l = list(listName);
        const std::vector<std::string> names = items(listName);
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (names[i] != name)
                continue;
            const QModelIndex row = l->model()->index(static_cast<int>(i), 0);
            l->scrollTo(row);
            QTest::mouseClick(l->viewport(), Qt::LeftButton, modifiers,
                              l->visualRect(row).center());
        }
    }
    bool enabled(const char* name) { return get<QWidget>(name)->isEnabled(); }
    // Clicks a column's header, as a user sorts by it.
    void clickHeader(const char* listName, int column) {
        QHeaderView* header = list(listName)->header();
        const QPoint centre(header->sectionViewportPosition(column) +
                                header->sectionSize(column) / 2,
                            header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
    }
    std::vector<std::string> selected(const char* listName) {
        std::vector<std::string> out;
        QModelIndexList rows = list(listName)->selectionModel()->selectedRows();
        std::sort(rows.begin(), rows.end());
        for (const QModelIndex& row : rows)
            out.push_back(row.data(Qt::UserRole).toByteArray().toStdString());
        return out;
    }
};

inline bool contains(const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}

} // namespace panestest
