#pragma once
// An ordinary titration method (.mtd) as read from its "key value" lines.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Keys of the two-titrant (back titration) calculation constants, in record order.
inline constexpr std::array<std::string_view, 44> kTwoTitrantKeys{
    "C_V1",    "mLBT",    "gBT",       "f",        "eq/LT1",     "eq/LT2",   "g/LT1",   "g/LT2",
    "mg/LT1",  "mg/LT2",  "mol/LT1",   "mol/LT2",  "mol/eq1",    "mol/mol1", "eq/mol1", "g/molBT",
    "g/mol1",  "g/mol2",  "mol1/mol2", "mol1/eq2", "eq1/mol2",   "mol/Lmax", "eq/Lmax", "g/Lmax",
    "mg/Lmax", "ug/Lmax", "mmol/Lmax", "mg/mLmax", "g/100mLmax", "meq/Lmax", "SBT",     "F11",
    "F12",     "F13",     "F14",       "F15",      "C1",         "C2",       "F21",     "F22",
    "F23",     "F31",     "F32",       "F33"};

// Keys of the single-titrant calculation constants, in record order.
inline constexpr std::array<std::string_view, 27> kOneTitrantKeys{
    "C_V0",   "mL",        "g",        "eq/L",  "eq/mol", "g/L",   "g/mol",  "mg/L", "mol/eq",
    "mol/g",  "mol/L",     "mol/mol",  "C",     "F1",     "F2",    "F3",     "S",    "g/molS",
    "mol/gS", "molt/mola", "eqt/mola", "eq/La", "g/La",   "mg/La", "mol/La", "mLs",  "gs"};

template <std::size_t N>
consteval std::size_t constantIndex(const std::array<std::string_view, N>& keys,
                                    std::string_view key) {
    for (std::size_t i = 0; i < N; ++i)
        if (keys[i] == key)
            return i;
    throw "no such constant";
}

// Field types follow the file format: Integer 16-bit, Long 64-bit (time stamps
// past 2038), Single float, Double double. A fresh record is all zero and empty.
struct MethodRecord {
    std::string name;
    std::string fileId;
    std::int64_t timeStamp = 0;
    float rev = 0;
    std::int16_t dosingType = 0;
    float linearVol = 0, dynMinVol = 0, dynMaxVol = 0, dynPotIncrement = 0;
    std::int16_t epMode = 0;
    float epPH = 0, epMV = 0;
    std::int16_t epCurve = 0, derThreshold = 0, eqRangeOpt = 0;
    float eqLimit1 = 0, eqLimit2 = 0;
    std::int16_t derFiltOpt = 0;
    float preTitrVol = 0;
    std::int16_t preStirTime = 0, measureMode = 0;
    float stabMvVariation = 0, stabTimeInterval = 0;
    std::int16_t minSignalStabWaitPer = 0, maxSignalStabWaitPer = 0, timedIncrPeriod = 0;
    std::string elecType;
    std::int16_t calcNr = 0, sampleUnit = 0, calcMethod = 0;
    std::array<float, kTwoTitrantKeys.size()> twoTitrant{};
    std::array<float, kOneTitrantKeys.size()> oneTitrant{};
    std::string titrName;
    std::int16_t titrantUnit = 0, titrantPumpId = 0, sampleEntry = 0;
    float maxDelivVol = 0;
    std::int16_t stirSpeed = 0;
    float lowerLimit = 0, upperLimit = 0, flowRate = 0;
    std::int16_t signalAve = 0, decPlc = 0, blankOption = 0;
    float blankValue = 0;
    std::int16_t dilutionOption = 0;
    float dilutionVol = 0, aliquotVol = 0;
    std::int16_t nrOfEQPoints = 0, titrationType = 0;
    std::string titrant1Name;
    std::int16_t titrant1Units = 0, titrant1PumpId = 0;
    std::string titrant2Name;
    std::int16_t titrant2Units = 0, titrant2PumpId = 0, breakOpt = 0, calcBackTitr = 0,
                 analyteType = 0, directTitrEntry = 0;
    float directTitrVol = 0;
    std::int16_t abs = 0, sts = 0;
    std::string lmn;
    std::int16_t lmt = 0, slm = 0, revision = 0, rap = 0, rav = 0, ras = 0, raw = 0;
    std::int16_t ram1 = 0, rap1 = 0;
    double rav1 = 0;
    std::int16_t ras1 = 0, raw1 = 0, rat1 = 0;
    std::int16_t ram2 = 0, rap2 = 0;
    double rav2 = 0;
    std::int16_t ras2 = 0, raw2 = 0, rat2 = 0;
};

// Reads a method text into a fresh record: every field the text lacks keeps its
// fresh value, never one of an earlier method. Later lines win; a value that is
// not numeric for its field leaves the field as it was.
MethodRecord readMethodRecord(std::string_view text);

