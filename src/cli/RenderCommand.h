#pragma once
// veltran-cli render: a method, Karl Fischer method, sequence or report file as
// the viewer shows it. The options and the reading of FILE are shared with the
// print command.
#include "documents/TitratorInfo.h"

#include <iosfwd>
#include <optional>
#include <string>

struct RenderOptions {
    static constexpr float kDefaultFirmware = 3.00f;
    static constexpr int kDefaultDeviceType = 1;

    std::string file;
    std::optional<int> type; // given with --type; else from the file's name
    int kind = 0;
    TitratorInfo titrator{kDefaultFirmware, Series::QX50x, kDefaultDeviceType};
    std::string outPath; // --out for render, --pdf for print
};

// render FILE [--type N] [--kind K] [--firmware F] [--series QX50x|QX53x]
//             [--device-type T] [--out PATH]
// Prints the rendered text as UTF-8 (LF line ends) on `out`; with --out writes the
// exact bytes (Windows-1252, CR LF) to PATH instead. Exit 0, or 2 for a file that
// cannot be read or written.
int cmdRender(const RenderOptions& options, std::ostream& out, std::ostream& err);

// The --type given, else the type the file's name says.
int documentType(const RenderOptions& o);
// Reads FILE as the viewer reads a PC file, after loading the data folder, the
// settings and the language like the application. False (the reason on err) when
// it cannot.
bool loadCliDocument(const RenderOptions& o, std::string& text, std::ostream& err);
