#include "link/ModelTable.h"

#include "core/Numbers.h"

#include <array>

namespace {

constexpr std::array<ModelInfo, 8> kModels{{
    {"QX501", 1, 0, SeriesCode::QX50x, false, false, true},
    {"QX502", 2, 1, SeriesCode::QX50x, true, true, true},
    {"QX503", 3, 2, SeriesCode::QX50x, false, false, false},
    {"QX504", 4, 3, SeriesCode::QX50x, false, false, false},
    {"QX531", 31, 0, SeriesCode::QX53x, false, false, false},
    {"QX532", 32, 1, SeriesCode::QX53x, true, true, false},
    {"QX533", 33, 2, SeriesCode::QX53x, false, false, false},
    {"QX534", 34, 3, SeriesCode::QX53x, false, false, false},
}};

constexpr int kModelNameCount = 35;

} // namespace

int titratorKind(int titType) {
    return titType == 2 || titType == 3 ? titType : 0;
}

std::span<const ModelInfo> allModels() {
    return kModels;
}

const ModelInfo* findModel(std::string_view idText) {
    for (const ModelInfo& m : kModels)
        if (m.idText == idText)
            return &m;
    return nullptr;
}

const std::string& modelName(int typeCode) {
    static const std::array<std::string, kModelNameCount> names = [] {
        std::array<std::string, kModelNameCount> n;
        for (const ModelInfo& m : kModels)
            n[m.typeCode] = std::string(m.idText);
        return n;
    }();
    static const std::string none;
    return (typeCode >= 0 && typeCode < kModelNameCount) ? names[typeCode] : none;
}

std::string versionTextOf(const ModelInfo& model, const std::string& answer) {
    if (answer.size() < 2)
        return {};
    return model.shortVersion ? answer.substr(1, 4) : answer.substr(1);
}

float firmwareValue(const std::string& versionText) {
    return static_cast<float>(num::leadingNumber(versionText));
}

ModelCode modelCodeFor(const ModelInfo& model, float firmware) {
    switch (model.typeCode) {
    case 1:
        return ModelCode::QX501;
    case 2:
        return firmware < 2.0f ? ModelCode::QX502
                               : (firmware < 3.0f ? ModelCode::QX502B : ModelCode::QX502C);
    case 3:
        return ModelCode::QX503;
    case 4:
        return ModelCode::QX504;
    case 31:
        return ModelCode::QX531;
    case 32:
        return ModelCode::QX502C; // treated like a QX502 from firmware 3.0 on
    case 33:
        return ModelCode::QX533;
    case 34:
        return ModelCode::QX534;
    }
    return ModelCode::None;
}

std::string_view modelCodeName(ModelCode code) {
    static constexpr std::string_view names[] = {"",      "QX501", "QX502", "QX502B", "QX502C",
                                                 "QX503", "QX504", "QX531", "QX533",  "QX534"};
    return names[static_cast<int>(code)];
}

std::string_view seriesName(SeriesCode code) {
    return code == SeriesCode::QX50x ? "QX50x" : code == SeriesCode::QX53x ? "QX53x" : "";
}

void applyFolders(const ModelInfo& model, float firmware, DeviceFolders& f) {
    if (model.plainFoldersV1 && firmware >= 1.0f && firmware <= 1.99f) {
        f.methodsPath = "\\methods\\";
        f.reportsPath = "\\reports\\";
        return;
    }
    const std::string base = "\\" + std::string(model.idText) + "\\";
    f.methodsPath = base + "methods\\";
    f.reportsPath = base + "reports\\";
    if (model.hasSequences) {
        f.sequencePath = base + "sequence\\";
        f.trayReportsPath = base + "asreport\\";
        f.trayFolder.clear();
    }
}
