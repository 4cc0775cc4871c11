// veltran-cli plot: the curve drawn without a display into SVG and PNG files,
// overlays, the parsed report as JSON, and what a script sees on bad input.
#include "CliRun.h"
#include "TempDir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <gtest/gtest.h>
#include <regex>

namespace {

const std::string kSamples = VT_SOURCE_DIR "/data/samples/";

CliResult plot(const TempDir& home, const std::string& args) {
    // No display: the command must draw offscreen by itself.
    return runCli(home.str(), "plot " + args, "env -u DISPLAY -u QT_QPA_PLATFORM", Stderr::Apart);
}

// The vertex count of every path of an SVG picture.
std::vector<int> pathVertices(const std::string& svg) {
    std::vector<int> counts;
    static const std::regex path(R"re(<path[^>]* d="([^"]*)")re");
    for (std::sregex_iterator it(svg.begin(), svg.end(), path), end; it != end; ++it) {
        const std::string d = (*it)[1];
        counts.push_back(static_cast<int>(std::count_if(
            d.begin(), d.end(), [](char c) { return c == 'M' || c == 'L' || c == 'C'; })));
    }
    return counts;
}

} // namespace

TEST(CliPlot, OneReportAsSvgHoldsOnePathOfItsPointsAndThePngHasTheAskedSize) {
    TempDir home;
    const CliResult svg = plot(home, kSamples + "pc/TI_00031.RPT --out '" + home.str() + "/c.svg'");
    ASSERT_EQ(svg.exitCode, 0) << svg.err;
    EXPECT_EQ(svg.out, home.str() + "/c.svg: 1 curve\n");
    const auto vertices = pathVertices(home.read("c.svg"));
    EXPECT_EQ(std::count(vertices.begin(), vertices.end(), 34), 1); // the table has 34 rows

    const CliResult png =
        plot(home, kSamples + "pc/TI_00031.RPT --derivative --size 640x360 --out '" + home.str() +
                       "/c.png'");
    ASSERT_EQ(png.exitCode, 0) << png.err;
    const std::string bytes = home.read("c.png");
    ASSERT_GT(bytes.size(), 24u);
    auto be32 = [&](std::size_t at) {
        return (static_cast<unsigned char>(bytes[at]) << 24) |
               (static_cast<unsigned char>(bytes[at + 1]) << 16) |
               (static_cast<unsigned char>(bytes[at + 2]) << 8) |
               static_cast<unsigned char>(bytes[at + 3]);
    };
    EXPECT_EQ(bytes.substr(1, 3), "PNG");
    EXPECT_EQ(be32(16), 640u);
    EXPECT_EQ(be32(20), 360u);
}

TEST(CliPlot, OverlaysReportsOfOneKindAndNamesTheOthers) {
    TempDir home;
    const std::string tray = kSamples + "titrator/QX502/asreport/TRAY0001/";
    const CliResult r = plot(
        home, tray + "TI_00021.RPT " + tray + "TI_00022.RPT " + tray + "TI_00023.RPT " + kSamples +
                  "pc/KF_00045.RPT --x volume --y mV --out '" + home.str() + "/o.png'");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, home.str() + "/o.png: 3 curves\n");
    EXPECT_NE(r.err.find("KF_00045.RPT: cannot be drawn with the others"), std::string::npos)
        << r.err;

    const CliResult unknown =
        plot(home, tray + "TI_00021.RPT --y Drift --out '" + home.str() + "/x.png'");
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("TI_00021.RPT has no column \"Drift\"; its columns: \"Nr\" "
                               "\"Volume[mL]\" \"pH\" \"mV\""),
              std::string::npos)
        << unknown.err;
    EXPECT_FALSE(std::filesystem::exists(home.path() / "x.png"));
}

TEST(CliPlot, JsonGivesColumnsUnitsRowsAndEndPoints) {
    TempDir home;
    const auto report = home.write("TI_00009.RPT", "\tReport ID: 00009\r\n\tSample Name: Cola\r\n"
                                                   "\tEnd Point Volume: 0.750 mL\r\n\r\n"
                                                   "\t Nr  Volume[mL]      pH\r\n"
                                                   "\t  1       0.500   -----\r\n"
                                                   "\t  2       1.000   7.250\r\n");
    const CliResult r = plot(home, report.string() + " --json");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    EXPECT_EQ(o["file"].toString(), "TI_00009.RPT");
    EXPECT_EQ(o["kind"].toString(), "titration");
    EXPECT_EQ(o["sampleName"].toString(), "Cola");
    EXPECT_EQ(o["endPoints"].toArray()[0].toObject()["volume"].toDouble(), 0.75);
    EXPECT_EQ(o["columns"].toArray()[1].toObject()["unit"].toString(), "mL");
    const QJsonArray rows = o["rows"].toArray();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_TRUE(rows[0].toArray()[2].isNull()); // "-----"
    EXPECT_EQ(rows[1].toArray()[2].toDouble(), 7.25);

    // Several reports: an array; the picture's line goes to stderr.
    const CliResult two = plot(home, report.string() + " " + report.string() + " --json --out '" +
                                         home.str() + "/t.svg'");
    EXPECT_EQ(two.exitCode, 0) << two.err;
    EXPECT_EQ(QJsonDocument::fromJson(QByteArray::fromStdString(two.out)).array().size(), 2);
    EXPECT_NE(two.err.find("t.svg: 2 curves"), std::string::npos) << two.err;
}

TEST(CliPlot, UsageErrorsAndUnreadableReportsExitTwo) {
    TempDir home;
    home.write("TRAY0001.RPT", "\tDate & Time: 08:40 Mar 14, 2025\r\n");
    const std::string ti = kSamples + "pc/TI_00031.RPT";
    const std::string out = " --out '" + home.str() + "/x.png'";
    struct Case {
        std::string args;
        const char* shown;
    };
    for (const Case& c : {
             Case{ti, "--out: FILE.png or FILE.svg is needed (or --json)"},
             {ti + " --out x.pdf", "\"x.pdf\" is not a .png or .svg file"},
             {ti + out + " --size 20x20", "\"20x20\" is not WIDTHxHEIGHT"},
             {ti + out + " --colour red", "unknown option --colour"},
             {out, "REPORT is required"},
             {home.str() + "/NONE.RPT" + out, "NONE.RPT"},
             {home.str() + "/TRAY0001.RPT" + out, "no table of measurements"},
         }) {
        const CliResult r = plot(home, c.args);
        EXPECT_EQ(r.exitCode, 2) << c.args;
        EXPECT_NE(r.err.find(c.shown), std::string::npos) << c.args << "\n" << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(home.path() / "x.png"));
}
