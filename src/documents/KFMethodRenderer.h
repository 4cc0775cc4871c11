#pragma once
// Karl Fischer methods as fixed-width text, in the manner of the ordinary
// methods: the first variant for the volumetric titrators (kind 2), the second
// for the coulometric ones (kind 3).
#include <cstdint>
#include <string>
#include <string_view>

struct KFMethodRecord {
    std::string name, fileId;
    std::int64_t timeStamp = 0;
    std::string rev;
    std::int16_t methType = 0, preDisp = 0, preTitT = 0;
    std::string stirr;
    std::int16_t mode = 0, drfEnt = 0;
    float drfVal = 0;
    std::int16_t stirSp = 0;
    std::string solv;
    std::int16_t titIdx = 0;
    std::int64_t ageRem = 0;
    std::int16_t stdIdx = 0;
    std::string smpName;
    std::int16_t smpType = 0;
    float smpSize = 0;
    std::int16_t smpPcs = 0;
    float smpExp = 0, smpDen = 0;
    std::int16_t smpDet = 0;
    float solvBlk = 0, solvConc = 0, smpExt = 0;
    std::int16_t stdby = 0;
    std::int64_t tCons = 0;
    std::int16_t uCur = 0;
    float endP = 0;
    std::int16_t sigAve = 0;
    float minD = 0, maxD = 0;
    std::int16_t tInc = 0, startM = 0;
    std::int64_t maxTime = 0;
    float maxVol = 0;
    std::int16_t termCrit = 0;
    float refDrift = 0;
    std::int16_t endPDel = 0, resUnit = 0;
    float flowPerc = 0;
    std::string tNam;
    float tCnc = 0;
    std::int16_t tTyp = 0;
    std::string sNam;
    float sCnc = 0;
    std::int16_t sUnt = 0, sTyp = 0;
    float sSiz = 0, sDns = 0;
    std::int16_t genCrt = 0;
};

// Reads a fresh record (every field empty or 0 first); later lines win.
KFMethodRecord readKFMethodRecord(std::string_view text);

std::string renderKFMethod(const std::string& text, int width, int indent);
std::string renderKFMethod2(const std::string& text, int width, int indent);

// The density (g/mL) of standard `index` of the titrator's list, or none for an
// index outside it.
const float* standardDensity(int index);
