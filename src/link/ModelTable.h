#pragma once
// The titrator models: identification text, type code, series, the part of the
// version answer that holds the firmware number, and the device folders.
#include <span>
#include <string>
#include <string_view>

enum class ModelCode { None, QX501, QX502, QX502B, QX502C, QX503, QX504, QX531, QX533, QX534 };
enum class SeriesCode { None, QX50x, QX53x };

struct ModelInfo {
    std::string_view idText; // first word of the "ver 4" answer
    int typeCode;
    int titType; // position within the series, 0..3
    SeriesCode series;
    bool shortVersion;   // the firmware number is characters 2..5 of the "ver 0" answer
    bool hasSequences;   // sequences and tray reports on the titrator
    bool plainFoldersV1; // firmware 1.x keeps its files in the plain methods and reports folders
};

// The titrator kind: 0 ordinary; the third and fourth positions of each series
// are the two Karl Fischer titrators, kinds 2 and 3, whose methods read differently.
int titratorKind(int titType);

std::span<const ModelInfo> allModels();
const ModelInfo* findModel(std::string_view idText);

// Model names indexed by type code (0..34); "" for unused codes.
const std::string& modelName(int typeCode);

// The firmware number's text taken out of the "ver 0" answer.
std::string versionTextOf(const ModelInfo& model, const std::string& answer);
// Its value; 0 when the text does not start with a number.
float firmwareValue(const std::string& versionText);

ModelCode modelCodeFor(const ModelInfo& model, float firmware);
std::string_view modelCodeName(ModelCode code);
std::string_view seriesName(SeriesCode code);

struct DeviceFolders {
    std::string methodsPath, reportsPath, sequencePath, trayReportsPath;
    std::string trayFolder; // the tray folder open in the titrator pane
};

// Sets the folders a model uses; folders it does not use keep their values.
void applyFolders(const ModelInfo& model, float firmware, DeviceFolders& folders);
