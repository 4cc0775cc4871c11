// --json: every line on stdout is one JSON object that a strict parser takes,
// with the field names the README documents; messages stay on stderr.
#include "CliRun.h"
#include "PcSide.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <set>

namespace fs = std::filesystem;

namespace {

using Fields = std::set<std::string>;

const Fields kIdentity{"model", "typeCode", "titType", "modelCode", "series", "firmware"};
const Fields kListed{"file", "size", "date", "line"};
const Fields kRecord{"time", "operation", "direction", "file",   "entry", "path",
                     "size", "date",      "sha256",    "result", "reason"};
const Fields kSummary{"summary"};

Fields fieldsOf(const QJsonObject& o) {
    Fields f;
    for (const QString& key : o.keys())
        f.insert(key.toStdString());
    return f;
}

} // namespace

TEST(CliJson, EveryCommandWritesStrictJsonLinesWithTheDocumentedFields) {
    TempDir home, root, pc;
    root.write("QX502/reports/TI_00001.RPT", "\tQX502 report\r\n");
    root.write("QX502/reports/TI_00001.LOG", "log");
    fs::copy(fs::path(VT_SOURCE_DIR) / "data/samples/export/TI_00201.RPT",
             pc.path() / "TI_00201.RPT");
    simtest::SimProcess sim({"--model", "QX502", "--root", root.str(), "--persist"});
    const std::string port = "--port " + sim.pty() + " ";
    const std::string to = " --to '" + pc.str() + "'";
    struct Case {
        std::string args;
        std::vector<Fields> allowed;
        std::size_t lines;
    } cases[] = {
        {port + "identify --json", {kIdentity}, 1},
        {port + "list reports --json", {kListed}, 1},
        {port + "get reports TI_00001.RPT NONE.RPT --json" + to, {kRecord}, 3},
        {port + "put reports '" + pc.str() + "/TI_00001.RPT' --replace all --json", {kRecord}, 2},
        {port + "delete reports TI_00001.RPT --yes --json", {kRecord}, 2},
        {"export '" + pc.str() + "/TI_00201.RPT' '" + pc.str() + "/TI_00001.RPT' --json" + to,
         {kRecord, kSummary},
         3},
    };
    for (const Case& c : cases) {
        const CliResult r = runCli(home.str(), c.args, "", Stderr::Apart);
        std::istringstream out(r.out);
        std::size_t lines = 0;
        for (std::string line; std::getline(out, line); ++lines) {
            QJsonParseError error;
            const QJsonDocument doc =
                QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
            ASSERT_EQ(error.error, QJsonParseError::NoError) << c.args << "\n" << line;
            ASSERT_TRUE(doc.isObject()) << line;
            const Fields f = fieldsOf(doc.object());
            EXPECT_NE(std::find(c.allowed.begin(), c.allowed.end(), f), c.allowed.end())
                << c.args << "\n"
                << line;
        }
        EXPECT_EQ(lines, c.lines) << c.args << "\n" << r.out << "--\n" << r.err;
    }
}
