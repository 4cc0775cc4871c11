#pragma once
// How the simulator presents the titrator models: the answers to "ver 4" and
// "ver 0" and the folders of the device file system. The models themselves are
// the application's own table, so both sides agree on them.
#include "link/ModelTable.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

using Model = ModelInfo;
using ::allModels;
using ::findModel;

struct Firmware {
    std::string text;             // as it follows the "V" of the "ver 0" answer
    std::optional<double> number; // empty for a non-numeric firmware
};

// A number is normalised to two decimals ("3" -> "3.00"), so that the four
// characters the application reads for QX502/QX532 hold the whole version.
// Anything else is kept verbatim and answered as a non-numeric version.
Firmware parseFirmware(std::string_view text);

// The device folders ("\\QX502\\methods\\", ...) as the application works them out.
DeviceFolders deviceFolders(const Model& model, const Firmware& firmware);

// Folders below the root, "/"-separated: "QX502/methods", ... or, for firmware
// 1.x of QX501 and QX502, the plain "methods" and "reports".
std::vector<std::string> modelFolders(const Model& model, const Firmware& firmware);

// "QX502 S/N 0412 VELTRAN-SIM"
std::string identificationAnswer(const Model& model);
// "V3.00 2026-01-15" for QX502/QX532, "V3.00" for the others.
std::string versionAnswer(const Model& model, const Firmware& firmware);

} // namespace sim
