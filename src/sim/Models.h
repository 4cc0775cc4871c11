#pragma once
// The eight titrator models as the simulator presents them: the answers to
// "ver 4" and "ver 0" and the folders of the device file system.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct Model {
    std::string_view name; // identification text, first word of the "ver 4" answer
    int typeCode;
    bool sequences;    // has the sequence and tray-report folders
    bool shortVersion; // the application reads only characters 2..5 of the "ver 0" answer
};

std::span<const Model> allModels();
const Model* findModel(std::string_view name);

struct Firmware {
    std::string text;             // as it follows the "V" of the "ver 0" answer
    std::optional<double> number; // empty for a non-numeric firmware
};

// A number is normalised to two decimals ("3" -> "3.00"), so that the four
// characters the application reads for QX502/QX532 hold the whole version.
// Anything else is kept verbatim and answered as a non-numeric version.
Firmware parseFirmware(std::string_view text);

// Folders below the root, "/"-separated: "QX502/methods", ... or, for firmware
// 1.x of QX501 and QX502, the plain "methods" and "reports".
std::vector<std::string> modelFolders(const Model& model, const Firmware& firmware);

// "QX502 S/N 0412 VELTRAN-SIM"
std::string identificationAnswer(const Model& model);
// "V3.00 2026-01-15" for QX502/QX532, "V3.00" for the others.
std::string versionAnswer(const Model& model, const Firmware& firmware);

} // namespace sim
