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
    std::optional<int> kind; // given with --kind; else a method file's own, 0 for others
    TitratorInfo titrator{kDefaultFirmware, Series::QX50x, kDefaultDeviceType};
    std::string outPath; // --out for render, --pdf for print
};

// render FILE [--type N] [--kind K] [--firmware F] [--series QX50x|QX53x]
//             [--device-type T] [--out PATH]
// Prints the rendered text as UTF-8 (LF line ends) on `out`; with --out writes the
// exact bytes (Windows-1252, CR LF) to PATH instead. --type takes a file type code
// (0 to 8, 10 to 12), --kind a titrator kind (0 ordinary, 2 and 3 the two Karl
// Fischer kinds). Exit 0, or 2 for a file that cannot be read or written.
int cmdRender(const RenderOptions& options, std::ostream& out, std::ostream& err);

// The --type given, else what the name says: SEQ*.MTD a sequence, any other
// .MTD a method whose FileID tells standard from user, .RPT a report, and so on
// as the panes read names.
int documentType(const RenderOptions& o, const std::string& text);
// The --kind given, else the kind a method file was written for (0 for others).
int documentKind(const RenderOptions& o, int type, const std::string& text);
// Reads FILE as the viewer reads a PC file, after loading the data folder, the
// settings and the language like the application. False (the reason on err) when
// it cannot.
bool loadCliDocument(const RenderOptions& o, std::string& text, std::ostream& err);
