#pragma once
// veltran-cli plot: a report's curve, or several overlaid, drawn without a
// display into a PNG or SVG file as the curve view draws it; --json prints the
// parsed reports (columns, units, rows, end points) for scripts and LIMS.
#include <iosfwd>
#include <string>
#include <vector>

struct PlotOptions {
    static constexpr int kDefaultWidth = 800;
    static constexpr int kDefaultHeight = 500;

    std::vector<std::string> reports;
    std::string out;  // FILE.png or FILE.svg; may be left out with --json
    std::string x, y; // a column's name or quantity ("Volume[mL]", "volume"); else the kind's
    bool derivative = false;
    int width = kDefaultWidth;
    int height = kDefaultHeight;
    bool json = false;
};

// "WxH" with 50 to 10000 pixels each side.
bool parsePlotSize(const std::string& text, int& width, int& height);
// A picture file name the command can write: .png or .svg, in any case.
bool isPlotPicture(const std::string& file);

// plot REPORT... --out FILE.png|FILE.svg [--x COLUMN] [--y COLUMN] [--derivative]
//      [--size WxH] [--json]
// Draws the reports that fit together (the same kind as the first, with its columns)
// and prints "FILE: N curve(s)". --json prints one report as a JSON object, several as
// an array (the line about the picture then goes to stderr). Exit 0; 1 when a report
// could not be read or drawn with the others (the rest are drawn); 2 when no report
// can be drawn, for an unknown column or a file that cannot be written.
int cmdPlot(const PlotOptions& options, std::ostream& out, std::ostream& err);
