#include "documents/MethodRenderer.h"

#include "core/Text.h"
#include "documents/DocumentText.h"
#include "documents/MethodRecord.h"
#include "core/NumberFormat.h"

#include <vector>

namespace {

constexpr float kCurrentLayoutFirmware = 1.6f;
constexpr int kSignificantLarge = 4; // sample amounts of 10 and more
constexpr int kSignificantSmall = 5;
constexpr float kLargeAmount = 10.0f;

// Limit method lines also appear for LMT 0 on these device types.
constexpr int kLimitDeviceA = 2;
constexpr int kLimitDeviceB = 32;
// The two-block reagent additions belong to this device type.
constexpr int kTwoAdditionsDevice = 32;

constexpr std::size_t kMlBT = constantIndex(kTwoTitrantKeys, "mLBT");
constexpr std::size_t kGBT = constantIndex(kTwoTitrantKeys, "gBT");
constexpr std::size_t kSBT = constantIndex(kTwoTitrantKeys, "SBT");
constexpr std::size_t kC1 = constantIndex(kTwoTitrantKeys, "C1");
constexpr std::size_t kC2 = constantIndex(kTwoTitrantKeys, "C2");
constexpr std::size_t kMolLT1 = constantIndex(kTwoTitrantKeys, "mol/LT1");
constexpr std::size_t kMolLT2 = constantIndex(kTwoTitrantKeys, "mol/LT2");
constexpr std::size_t kEqLT1 = constantIndex(kTwoTitrantKeys, "eq/LT1");
constexpr std::size_t kEqLT2 = constantIndex(kTwoTitrantKeys, "eq/LT2");
constexpr std::size_t kGLT1 = constantIndex(kTwoTitrantKeys, "g/LT1");
constexpr std::size_t kGLT2 = constantIndex(kTwoTitrantKeys, "g/LT2");
constexpr std::size_t kMgLT1 = constantIndex(kTwoTitrantKeys, "mg/LT1");
constexpr std::size_t kMgLT2 = constantIndex(kTwoTitrantKeys, "mg/LT2");
constexpr std::size_t kMl = constantIndex(kOneTitrantKeys, "mL");
constexpr std::size_t kG = constantIndex(kOneTitrantKeys, "g");
constexpr std::size_t kGs = constantIndex(kOneTitrantKeys, "gs");
constexpr std::size_t kMls = constantIndex(kOneTitrantKeys, "mLs");
constexpr std::size_t kS = constantIndex(kOneTitrantKeys, "S");
constexpr std::size_t kC = constantIndex(kOneTitrantKeys, "C");
constexpr std::size_t kMolL = constantIndex(kOneTitrantKeys, "mol/L");
constexpr std::size_t kEqL = constantIndex(kOneTitrantKeys, "eq/L");
constexpr std::size_t kGL = constantIndex(kOneTitrantKeys, "g/L");
constexpr std::size_t kMgL = constantIndex(kOneTitrantKeys, "mg/L");

std::string num(int n) {
    return std::to_string(n);
}

std::string msg(int textNumber, const std::string& value) {
    return formatMsg(word(textNumber), {value});
}

std::string seconds(int n) {
    return num(n) + " " + word(814);
}

enum class Section {
    Name,
    Identity,
    Revision,
    Titration,
    EarlyTitration,
    Dosing,
    EndPoint,
    EarlyEndPoint,
    Derivative,
    PreTitration,
    PreStir,
    Measurement,
    Electrode,
    Blank,
    Calculation,
    EarlyCalculation,
    Dilution,
    TitrantName,
    TitrantConcentration,
    Titrant1Name,
    Titrant1Concentration,
    Titrant2Name,
    Titrant2Concentration,
    Sample,
    SampleEntry,
    DirectTitration,
    MaximumVolume,
    Limits,
    FlowRate,
    SignalAveraging,
    ResultDigits,
    LimitMethod,
    Slm
};

class MethodWriter {
public:
    MethodWriter(MethodRecord record, int width, const TitratorInfo& titrator, int kind)
        : r_(std::move(record)), out_(width), titrator_(titrator), kind_(kind) {}

    void write(Section s);
    std::string finish(int indent) const { return out_.finish(indent); }

private:
    int type() const { return r_.titrationType; }
    std::string typeWord(bool early) const;
    std::string stirrerWord() const;
    void beakerLine() { out_.line(word(996), msg(997, num(r_.abs + 1))); }
    void stirringBlock();
    void titrantPumps();
    void titration();
    void earlyTitration();
    void reagentAdditions();
    void twoAdditionBlock(const std::string& which, int mode, double volume, int time, int stirTime,
                          int waitTime);
    void singleAddition();
    void dosing();
    void endPoint(bool early);
    void derivative();
    void measurement();
    void blank();
    void calculation(bool early);
    void dilution();
    void titrantConcentration();
    void titrantNConcentration(int n);
    bool sampleShown() const {
        return !(type() == 0 && (r_.calcMethod == 0 || r_.calcMethod == 1));
    }
    std::string sampleAmount() const;
    void resultDigits();
    void limitMethod();
    void slm();

    MethodRecord r_;
    DocumentWriter out_;
    TitratorInfo titrator_;
    int kind_;
};

std::string MethodWriter::typeWord(bool early) const {
    if (early)
        return word(type() == 0 ? 801 : 802);
    switch (type()) {
    case 0:
        return word(801);
    case 1:
        return word(802);
    case 2:
        return word(799);
    default:
        return "";
    }
}

std::string MethodWriter::stirrerWord() const {
    if (r_.sts == 0)
        return word(872);
    if (r_.sts == 1 || r_.sts == 2)
        return msg(999, num(r_.sts));
    return "";
}

void MethodWriter::stirringBlock() {
    out_.header(word(998));
    out_.subLine(word(1070), stirrerWord());
    out_.subLine(word(743), num(r_.stirSpeed) + " " + word(871));
}

void MethodWriter::titrantPumps() {
    out_.subLine(msg(703, "1"), msg(803, num(r_.titrant1PumpId)));
    out_.subLine(msg(703, "2"), msg(803, num(r_.titrant2PumpId)));
}

void MethodWriter::titration() {
    if (kind_ != kKindOrdinary && r_.lmt == 0)
        out_.line(word(702), typeWord(false));
    switch (type()) {
    case 0:
        beakerLine();
        stirringBlock();
        out_.header(word(890));
        out_.subLine(word(891), msg(803, num(r_.titrantPumpId)));
        reagentAdditions();
        break;
    case 1:
        if (r_.lmt == 0)
            out_.subLine(word(704), word(804 + r_.breakOpt));
        beakerLine();
        stirringBlock();
        out_.header(word(890));
        titrantPumps();
        if (r_.revision >= 1)
            reagentAdditions();
        break;
    case 2:
        beakerLine();
        out_.header(word(998));
        out_.subLine(word(738), stirrerWord());
        out_.subLine(word(743), num(r_.stirSpeed) + " " + word(871));
        out_.subLine(word(739), seconds(r_.preStirTime));
        reagentAdditions();
        break;
    default:
        break;
    }
}

void MethodWriter::earlyTitration() {
    out_.line(word(702), typeWord(true));
    if (type() == 1) {
        out_.subLine(word(704), word(804 + r_.breakOpt));
        titrantPumps();
    }
}

void MethodWriter::reagentAdditions() {
    if (titrator_.deviceType != kTwoAdditionsDevice) {
        singleAddition();
        return;
    }
    twoAdditionBlock(" 1", r_.ram1, r_.rav1, r_.rat1, r_.ras1, r_.raw1);
    twoAdditionBlock(" 2", r_.ram2, r_.rav2, r_.rat2, r_.ras2, r_.raw2);
}

void MethodWriter::twoAdditionBlock(const std::string& which, int mode, double volume, int time,
                                    int stirTime, int waitTime) {
    const std::string label = msg(1054, which);
    if (mode == 0) {
        out_.line(label, word(872));
        return;
    }
    const bool byVolume = mode % 2 != 0;
    out_.header(label);
    out_.subLine(word(1056), word(1110 + mode));
    if (byVolume)
        out_.subLine(word(1115), msg(1117, formatFixed(volume, 3)));
    else
        out_.subLine(word(1116), msg(1118, num(time)));
    out_.subLine(word(1059), msg(1118, num(stirTime)));
    out_.subLine(word(1061), msg(1118, num(waitTime)));
    if (byVolume && type() == 2)
        out_.subLine(word(746), formatFixed(r_.flowRate, 1) + " mL/" + word(870));
}

// Pump, volume, then the two times, each with its unit word.
void MethodWriter::singleAddition() {
    const std::string label = msg(1054, "");
    if (r_.rav < 1) {
        out_.line(label, word(872));
        return;
    }
    out_.header(label);
    out_.subLine(msg(1056, "1"), msg(803, num(r_.rap)));
    out_.subLine(msg(1115, "1"), num(r_.rav) + " mL");
    out_.subLine(word(1059), num(r_.ras) + " " + word(1086));
    out_.subLine(word(1061), num(r_.raw) + " " + word(1086));
}

void MethodWriter::dosing() {
    if (r_.dosingType == 0)
        out_.line(word(705), word(806) + " - " + formatFixed(r_.linearVol, 3) + " mL");
    else
        out_.line(word(705), word(807));
    if (r_.dosingType == 1) {
        out_.subLine(word(706), formatFixed(r_.dynMinVol, 3) + " mL");
        out_.subLine(word(707), formatFixed(r_.dynMaxVol, 3) + " mL");
        out_.subLine(word(718), formatFixed(r_.dynPotIncrement, 1) + " mV");
    }
}

void MethodWriter::endPoint(bool early) {
    // A back titration has no fixed end point: such a setting reads as mode 0.
    if (type() == 1 && (r_.epMode == 2 || r_.epMode == 3)) {
        r_.epMode = 0;
        r_.epCurve = 0;
    }
    std::string curve;
    if (r_.epCurve >= 0 && r_.epCurve <= 2)
        curve = word(811 + r_.epCurve);
    const std::string points = word(r_.nrOfEQPoints < 2 ? 896 : 897);
    std::string value;
    switch (r_.epMode) {
    case 0:
    case 1:
        if (early)
            value = word(r_.epMode == 0 ? 809 : 810) + ", " + curve;
        else
            value =
                msg(r_.epMode == 0 ? 894 : 895, num(r_.nrOfEQPoints)) + " " + points + ", " + curve;
        break;
    case 2:
        value = word(808) + " " + formatFixed(r_.epPH, 3) + " pH";
        break;
    case 3:
        value = word(808) + " " + formatFixed(r_.epMV, 1) + " mV";
        break;
    default:
        return;
    }
    out_.line(word(709), value);
}

void MethodWriter::derivative() {
    if (r_.epMode == 2 || r_.epMode == 3)
        return;
    out_.header(word(710));
    out_.subLine(word(711), num(r_.derThreshold) + " mV / mL");
    std::string range = word(804);
    if (r_.eqRangeOpt != 0)
        range = word(820) + " " + formatFixed(r_.eqLimit1, 1) + word(821) +
                formatFixed(r_.eqLimit2, 1) + (r_.epMode == 1 ? " mV" : " pH");
    out_.subLine(word(712), range);
    out_.subLine(word(713), word(804 + r_.derFiltOpt));
}

void MethodWriter::measurement() {
    if (type() == 2) {
        out_.line(word(714), word(1093 + r_.epMode));
        return;
    }
    out_.line(word(717), word(822 + r_.measureMode));
    if (r_.measureMode != 0) {
        out_.subLine(word(722), seconds(r_.timedIncrPeriod));
        return;
    }
    out_.subLine(word(718), formatFixed(r_.stabMvVariation, 1) + " mV");
    out_.subLine(word(719), generalForm(r_.stabTimeInterval) + " " + word(814));
    out_.subLine(word(720), seconds(r_.minSignalStabWaitPer));
    out_.subLine(word(721), seconds(r_.maxSignalStabWaitPer));
}

void MethodWriter::blank() {
    if (type() != 0)
        return;
    if (r_.blankOption == 0 || r_.blankOption == 1) {
        out_.line(word(751), word(r_.blankOption == 0 ? 874 : 875));
        out_.subLine(word(752), formatSignificant(r_.blankValue, 4) + " L");
    } else {
        out_.line(word(751), word(876));
    }
}

void MethodWriter::calculation(bool early) {
    static constexpr int kCurrentWords[] = {826, 898, 827, 828, 829, 830, 831};
    std::string value;
    if (type() != 0)
        value = word(833 + r_.analyteType);
    else if (early)
        value = word(826 + r_.calcMethod);
    else if (r_.calcMethod >= 0 && r_.calcMethod <= 6)
        value = word(kCurrentWords[r_.calcMethod]);
    out_.line(word(724), value);
}

void MethodWriter::dilution() {
    if (r_.dilutionOption != 1) {
        out_.line(word(753), word(872));
        return;
    }
    out_.line(word(753), word(873));
    out_.subLine(word(754), formatFixed(r_.dilutionVol, 3) + " mL");
    out_.subLine(word(755), formatFixed(r_.aliquotVol, 3) + " mL");
}

void MethodWriter::titrantConcentration() {
    if (type() == 1)
        return;
    const int cm = r_.calcMethod;
    if (cm == 0 || cm == 1 || cm == 4 || cm == 5)
        return;
    std::string value;
    if (cm == 6) {
        value = formatSignificant(r_.oneTitrant[kC], 5) + " C";
    } else {
        switch (r_.titrantUnit) {
        case 0:
            value = formatSignificant(r_.oneTitrant[kMolL], 5) + " M (mol/L)";
            break;
        case 1:
            value = formatSignificant(r_.oneTitrant[kEqL], 5) + " N (eq/L)";
            break;
        case 2:
            value = formatSignificant(r_.oneTitrant[kGL], 5) + "  g/L";
            break;
        case 3:
            value = formatSignificant(r_.oneTitrant[kMgL], 5) + " mg/L";
            break;
        default:
            break;
        }
    }
    out_.line(word(726), value);
}

void MethodWriter::titrantNConcentration(int n) {
    if (type() == 0)
        return;
    const bool first = n == 1;
    std::string value;
    if (r_.analyteType == 2) {
        value = formatSignificant(r_.twoTitrant[first ? kC1 : kC2], 5) + " C";
    } else {
        switch (first ? r_.titrant1Units : r_.titrant2Units) {
        case 0:
            value = formatSignificant(r_.twoTitrant[first ? kMolLT1 : kMolLT2], 5) + " M(mol/L)";
            break;
        case 1:
            value = formatSignificant(r_.twoTitrant[first ? kEqLT1 : kEqLT2], 5) + " N (eq/L)";
            break;
        case 2:
            value = formatSignificant(r_.twoTitrant[first ? kGLT1 : kGLT2], 5) + " g/L";
            break;
        case 3:
            value = formatSignificant(r_.twoTitrant[first ? kMgLT1 : kMgLT2], 5) + " mg/L";
            break;
        default:
            break;
        }
    }
    out_.line(word(first ? 731 : 733), value);
}

std::string MethodWriter::sampleAmount() const {
    auto amount = [](float v, const char* unit) {
        return formatSignificant(v, v >= kLargeAmount ? kSignificantLarge : kSignificantSmall) +
               unit;
    };
    if (type() == 1) {
        switch (r_.analyteType) {
        case 0:
            return amount(r_.twoTitrant[kGBT], " g");
        case 1:
            return amount(r_.twoTitrant[kMlBT], " mL");
        default:
            return amount(r_.twoTitrant[kSBT], "");
        }
    }
    switch (r_.calcMethod) {
    case 0:
    case 1:
        return "   ";
    case 2:
        return amount(r_.oneTitrant[kG], " g");
    case 3:
        return amount(r_.oneTitrant[kMl], " mL");
    case 4:
        return amount(r_.oneTitrant[kGs], " g");
    case 5:
        return amount(r_.oneTitrant[kMls], " mL");
    case 6:
        return amount(r_.oneTitrant[kS], "");
    default:
        return "";
    }
}

void MethodWriter::resultDigits() {
    static constexpr const char* kPatterns[] = {"XX", "XXX", "XXXX"};
    out_.line(word(1000), r_.decPlc >= 0 && r_.decPlc <= 2 ? kPatterns[r_.decPlc] : "XXXXX");
}

void MethodWriter::limitMethod() {
    switch (r_.lmt) {
    case 0:
        out_.line(word(1001), word(1024));
        break;
    case 1:
        out_.line(word(1001), r_.lmn);
        break;
    case 2:
        out_.line(word(1002), r_.lmn);
        break;
    default:
        break;
    }
}

void MethodWriter::slm() {
    if (r_.slm == 0 || r_.slm == 1)
        out_.line(word(1003), word(r_.slm == 0 ? 1004 : 1005));
}

void MethodWriter::write(Section s) {
    switch (s) {
    case Section::Name:
        out_.line(word(700), r_.name);
        break;
    case Section::Identity: {
        const int owner = r_.fileId.find("QX") != std::string::npos ? 1007 : 800;
        out_.line(word(701), r_.fileId + " " + word(owner) + " " + stampText(r_.timeStamp));
        break;
    }
    case Section::Revision:
        out_.line(word(889), formatFixed(r_.rev, 1));
        break;
    case Section::Titration:
        titration();
        break;
    case Section::EarlyTitration:
        earlyTitration();
        break;
    case Section::Dosing:
        dosing();
        break;
    case Section::EndPoint:
        endPoint(false);
        break;
    case Section::EarlyEndPoint:
        endPoint(true);
        break;
    case Section::Derivative:
        derivative();
        break;
    case Section::PreTitration:
        out_.line(word(715), formatFixed(r_.preTitrVol, 3) + " mL");
        break;
    case Section::PreStir:
        out_.line(word(716), seconds(r_.preStirTime));
        break;
    case Section::Measurement:
        measurement();
        break;
    case Section::Electrode:
        out_.line(word(723), r_.elecType);
        break;
    case Section::Blank:
        blank();
        break;
    case Section::Calculation:
        calculation(false);
        break;
    case Section::EarlyCalculation:
        calculation(true);
        break;
    case Section::Dilution:
        dilution();
        break;
    case Section::TitrantName:
        if (type() != 1)
            out_.line(word(725), r_.titrName);
        break;
    case Section::TitrantConcentration:
        titrantConcentration();
        break;
    case Section::Titrant1Name:
        if (type() != 0)
            out_.line(word(730), r_.titrant1Name);
        break;
    case Section::Titrant1Concentration:
        titrantNConcentration(1);
        break;
    case Section::Titrant2Name:
        if (type() != 0)
            out_.line(word(732), r_.titrant2Name);
        break;
    case Section::Titrant2Concentration:
        titrantNConcentration(2);
        break;
    case Section::Sample:
        if (sampleShown())
            out_.line(word(735), sampleAmount());
        break;
    case Section::SampleEntry:
        if (sampleShown())
            out_.line(word(736), word(r_.sampleEntry == 1 ? 841 : r_.sampleEntry == 2 ? 846 : 808));
        break;
    case Section::DirectTitration:
        if (type() != 0)
            out_.line(word(740), r_.directTitrEntry != 0
                                     ? word(808) + " - " + formatFixed(r_.directTitrVol, 3) + " mL"
                                     : word(840));
        break;
    case Section::MaximumVolume:
        out_.line(word(type() == 1 ? 741 : 742), formatFixed(r_.maxDelivVol, 3) + " mL");
        break;
    case Section::Limits:
        out_.line(word(745), formatFixed(r_.lowerLimit, 1) + " " + word(845) + " " +
                                 formatFixed(r_.upperLimit, 1) + " mV");
        break;
    case Section::FlowRate:
        out_.line(word(746), formatFixed(r_.flowRate, 1) + " mL/" + word(870));
        break;
    case Section::SignalAveraging:
        out_.line(word(750), word(860 + r_.signalAve));
        break;
    case Section::ResultDigits:
        resultDigits();
        break;
    case Section::LimitMethod:
        limitMethod();
        break;
    case Section::Slm:
        slm();
        break;
    }
}

using S = Section;

// The sections of the current layout up to the result digits, for a type other than 2.
const std::vector<Section> kCurrentBody{S::Name,
                                        S::Identity,
                                        S::Revision,
                                        S::Titration,
                                        S::Dosing,
                                        S::EndPoint,
                                        S::Derivative,
                                        S::PreTitration,
                                        S::PreStir,
                                        S::Measurement,
                                        S::Electrode,
                                        S::Blank,
                                        S::Calculation,
                                        S::Dilution,
                                        S::TitrantName,
                                        S::TitrantConcentration,
                                        S::Titrant1Name,
                                        S::Titrant1Concentration,
                                        S::Titrant2Name,
                                        S::Titrant2Concentration,
                                        S::Sample,
                                        S::SampleEntry,
                                        S::DirectTitration,
                                        S::MaximumVolume,
                                        S::Limits,
                                        S::FlowRate,
                                        S::SignalAveraging,
                                        S::ResultDigits};

const std::vector<Section> kEarlySections{S::Name,
                                          S::Identity,
                                          S::EarlyTitration,
                                          S::Dosing,
                                          S::EarlyEndPoint,
                                          S::Derivative,
                                          S::PreTitration,
                                          S::PreStir,
                                          S::Measurement,
                                          S::Electrode,
                                          S::Blank,
                                          S::EarlyCalculation,
                                          S::Dilution,
                                          S::TitrantName,
                                          S::TitrantConcentration,
                                          S::Titrant1Name,
                                          S::Titrant1Concentration,
                                          S::Titrant2Name,
                                          S::Titrant2Concentration,
                                          S::Sample,
                                          S::SampleEntry,
                                          S::DirectTitration,
                                          S::MaximumVolume,
                                          S::Limits,
                                          S::FlowRate,
                                          S::SignalAveraging};

std::vector<Section> currentSections(const MethodRecord& r, const TitratorInfo& titrator) {
    if (r.lmt < 0 || r.lmt > 2)
        return {};
    if (r.titrationType == 2) {
        std::vector<Section> list{S::Name,        S::Identity,  S::Revision,   S::Titration,
                                  S::Measurement, S::Electrode, S::LimitMethod};
        if (r.lmt == 1)
            list.push_back(S::Slm);
        return list;
    }
    std::vector<Section> list = kCurrentBody;
    const bool limitDevice =
        titrator.deviceType == kLimitDeviceA || titrator.deviceType == kLimitDeviceB;
    if (r.lmt != 0 || limitDevice)
        list.push_back(S::LimitMethod);
    if (r.lmt == 1)
        list.push_back(S::Slm);
    return list;
}

} // namespace

bool usesCurrentLayout(const TitratorInfo& titrator) {
    return titrator.firmware >= kCurrentLayoutFirmware || titrator.series == Series::QX53x;
}

std::string renderMethod(const std::string& text, int width, int indent,
                         const TitratorInfo& titrator, int kind) {
    MethodRecord record = readMethodRecord(text);
    const std::vector<Section> sections =
        usesCurrentLayout(titrator) ? currentSections(record, titrator) : kEarlySections;
    if (sections.empty())
        return "";
    MethodWriter writer(std::move(record), width, titrator, kind);
    for (Section s : sections)
        writer.write(s);
    return writer.finish(indent);
}
