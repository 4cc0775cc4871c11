#include "documents/KFMethodRenderer.h"

#include "documents/DocumentText.h"
#include "documents/FieldTable.h"
#include "core/NumberFormat.h"

#include <array>

namespace {

using K = KFMethodRecord;

// The titrator's list of water standards, by StdIdx: densities in g/mL at 20 °C,
// used to turn a % (w/w) water content into mg/mL. Solids carry their crystal
// density; liquid standards that of their base solvent.
struct Standard {
    const char* name;
    float density;
};
constexpr std::array<Standard, 11> kStandards{{
    {"water", 0.998f},
    {"sodium tartrate dihydrate (15.66 % water)", 1.818f},
    {"potassium citrate monohydrate (5.55 % water)", 1.98f},
    {"liquid standard 0.1 mg/g (xylene based)", 0.87f},
    {"liquid standard 1.0 mg/g (xylene based)", 0.87f},
    {"liquid standard 10.0 mg/g (alcohol based)", 0.80f},
    {"liquid standard 5.0 mg/g (xylene based)", 0.87f},
    {"oil standard 15 ppm (mineral oil)", 0.86f},
    {"oil standard 30 ppm (mineral oil)", 0.86f},
    {"lactose monohydrate (5.0 % water)", 1.525f},
    {"oxalic acid dihydrate (28.6 % water)", 1.653f},
}};

constexpr float kPercentToPpm = 10000.0f;
constexpr float kPercentToMgPerG = 10.0f;
constexpr int kStandardByVolume = 2;

FieldTable<K> makeTable() {
    FieldTable<K> t;
    t.text("Name", &K::name).text("FileID", &K::fileId).number("TimeStamp", &K::timeStamp);
    t.text("Rev", &K::rev).number("MethType", &K::methType).number("PreDisp", &K::preDisp);
    t.number("PreTitT", &K::preTitT).text("Stirr", &K::stirr).number("Mode", &K::mode);
    t.number("DrfEnt", &K::drfEnt).number("DrfVal", &K::drfVal).number("StirSp", &K::stirSp);
    t.text("Solv", &K::solv).number("TitIdx", &K::titIdx).number("AgeRem", &K::ageRem);
    t.number("StdIdx", &K::stdIdx).text("SmpName", &K::smpName);
    t.number("SmpType", &K::smpType).number("SmpSize", &K::smpSize);
    t.number("SmpPcs", &K::smpPcs).number("SmpExp", &K::smpExp).number("SmpDen", &K::smpDen);
    t.number("SmpDet", &K::smpDet).number("SolvBlk", &K::solvBlk);
    t.number("SolvConc", &K::solvConc).number("SmpExt", &K::smpExt);
    t.number("Stdby", &K::stdby).number("TCons", &K::tCons).number("uCur", &K::uCur);
    t.number("EndP", &K::endP).number("SigAve", &K::sigAve).number("MinD", &K::minD);
    t.number("MaxD", &K::maxD).number("TInc", &K::tInc).number("TIncIdx", &K::tInc);
    t.number("StartM", &K::startM).number("MaxTime", &K::maxTime).number("MaxVol", &K::maxVol);
    t.number("TermCrit", &K::termCrit).number("RefDrift", &K::refDrift);
    t.number("EndPDel", &K::endPDel).number("ResUnit", &K::resUnit);
    t.number("FlowPerc", &K::flowPerc).text("TNam", &K::tNam).number("TCnc", &K::tCnc);
    t.number("TTyp", &K::tTyp).text("SNam", &K::sNam).number("SCnc", &K::sCnc);
    t.number("SUnt", &K::sUnt).number("STyp", &K::sTyp).number("SSiz", &K::sSiz);
    t.number("SDns", &K::sDns).number("GenCrt", &K::genCrt);
    return t;
}

std::string num(std::int64_t n) {
    return std::to_string(n);
}

std::string seconds(std::int64_t n) {
    return num(n) + " " + word(814);
}

std::string unitFirst(int code) {
    static constexpr const char* kUnits[] = {" %",     " ppm",   " mg/g",     " \xB5g/g",  " mg",
                                             " \xB5g", " mg/mL", " \xB5g/mL", " \xB5g/pcs"};
    return code >= 0 && code <= 8 ? kUnits[code] : " mg/pcs";
}

std::string unitSecond(int code) {
    static constexpr const char* kUnits[] = {" %",  " mg/g",  " ppt",   " \xB5g/g",  " ppm",
                                             " mg", " \xB5g", " mg/mL", " \xB5g/mL", " \xB5g/pcs"};
    return code >= 0 && code <= 9 ? kUnits[code] : " mg/pcs";
}

std::string unitBromine(int code) {
    static constexpr const char* kUnits[] = {" g/100g", " mg/100g", " gBr", " mgBr"};
    return code >= 0 && code <= 3 ? kUnits[code] : " UNKNOWN";
}

// Minutes as "hh:mm [hh:mm]".
std::string hoursMinutes(int minutes) {
    auto two = [](int n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    const int sign = minutes < 0 ? -1 : 1;
    const int m = minutes * sign;
    return (sign < 0 ? "-" : "") + two(m / 60) + ":" + two(m % 60) + " [hh:mm]";
}

enum class Variant { First, Second };

class KFWriter {
public:
    KFWriter(KFMethodRecord record, int width, Variant v)
        : r_(std::move(record)), out_(width), v_(v) {}
    std::string render(int indent);

private:
    bool second() const { return v_ == Variant::Second; }
    std::string resultUnit() const;
    void identity();
    void mode();
    void drift();
    void standard();
    void sample();
    void titrant();
    void control();
    void termination();

    KFMethodRecord r_;
    DocumentWriter out_;
    Variant v_;
};

std::string KFWriter::resultUnit() const {
    if (!second())
        return unitFirst(r_.resUnit);
    return r_.mode == 0 ? unitSecond(r_.resUnit) : unitBromine(r_.resUnit);
}

void KFWriter::identity() {
    out_.line(word(700), r_.name);
    const int owner = r_.fileId.find("QX") != std::string::npos ? 1007 : 800;
    out_.line(word(701), r_.fileId + " " + word(owner) + " " + stampText(r_.timeStamp));
    out_.line(word(889), revisionText(r_.rev));
}

void KFWriter::mode() {
    if (second())
        out_.line(word(900), word(r_.mode != 0 ? 1011 : 1021));
    else
        out_.line(word(900), word(r_.mode != 0 ? 902 : 901));
}

void KFWriter::drift() {
    out_.line(word(905), r_.drfEnt != 0 ? word(907) + "[" + formatFixed(r_.drfVal, 1) + " ug/min]"
                                        : word(906));
}

// Name, type, the water content converted to the chosen unit, then the size.
void KFWriter::standard() {
    out_.header(word(918));
    out_.subLine(word(915), r_.sNam);
    out_.subLine(word(917), word(1008 + r_.sTyp));
    const float* density = standardDensity(r_.stdIdx);
    std::string concentration;
    if (r_.sUnt == 1)
        concentration = formatFixed(r_.sCnc * kPercentToPpm, 4) + " ppm";
    else if (r_.sUnt == 2)
        concentration = formatFixed(r_.sCnc * kPercentToMgPerG, 4) + " mg/g";
    else if (r_.sUnt == 3 && density)
        concentration = formatFixed(r_.sCnc * kPercentToMgPerG * *density, 4) + " mg/mL";
    else
        concentration = formatFixed(r_.sCnc, 4) + " %[W/W]";
    out_.subLine(word(919), concentration);
    if (r_.sTyp == kStandardByVolume) {
        out_.subLine(word(916), formatFixed(r_.sSiz, 3) + " mL");
        out_.subLine(word(995), formatFixed(r_.sDns, 3) + " g/mL");
    } else {
        out_.subLine(word(916), formatFixed(r_.sSiz, 4) + " g");
    }
}

// Name, type and size (with the density of a liquid taken by volume), then the
// determination with its solvent blank or extraction, and the expected result.
void KFWriter::sample() {
    out_.header(word(909));
    out_.subLine(word(911), r_.smpName);
    out_.subLine(word(912), word(930 + r_.smpType));
    std::string size;
    switch (r_.smpType) {
    case 0:
        size = formatFixed(r_.smpSize, 4) + " g";
        break;
    case 1:
        size = formatFixed(r_.smpSize, second() ? 3 : 4) + " mL";
        break;
    case 2:
        size = num(r_.smpPcs) + " pcs";
        break;
    default:
        break;
    }
    out_.subLine(word(913), size);
    if (r_.smpType == 1)
        out_.subLine(word(995), formatFixed(r_.smpDen, 3) + " g/mL");
    out_.subLine(word(910), word(927 + r_.smpDet));
    if (r_.smpDet == 1)
        out_.subLine(word(992), formatFixed(r_.solvBlk, 4) + " g");
    else if (r_.smpDet == 2)
        out_.subLine(word(994), formatFixed(r_.smpExt, 4) + " g");
    out_.subLine(word(993), generalForm(r_.smpExp) + resultUnit());
}

void KFWriter::titrant() {
    out_.line(word(920), r_.tNam);
    out_.subLine(word(921), word(958 + r_.tTyp));
    out_.subLine(word(1006), formatFixed(r_.tCnc, 4) + " mg/mL");
    out_.subLine(word(923), stampTextWithMonthName(r_.timeStamp));
}

// The end point and its signal first, then how the titration starts and doses.
void KFWriter::control() {
    out_.header(word(944));
    out_.subLine(word(941), formatFixed(r_.endP, 1) + " mV");
    out_.subLine(word(942), num(r_.uCur) + " \xB5"
                                           "A");
    out_.subLine(word(750), word(860 + r_.sigAve));
    out_.subLine(word(933), word(945 + r_.startM));
    if (!second()) {
        out_.subLine(word(935), word(947 + r_.tInc));
        out_.subLine(word(936), formatFixed(r_.minD, 3) + " mL");
        out_.subLine(word(937), formatFixed(r_.maxD, 3) + " mL");
        out_.subLine(word(938), generalForm(r_.flowPerc) + " mL/min");
    }
    out_.subLine(word(934), r_.stdby == 0 ? word(872) : hoursMinutes(r_.stdby));
}

void KFWriter::termination() {
    out_.header(word(955));
    out_.subLine(word(956), seconds(r_.maxTime));
    if (second())
        out_.subLine(word(957), formatFixed(r_.maxVol, 3) + " mg");
    else
        out_.subLine(word(957), formatFixed(r_.maxVol, 4) + " mL");
    const std::string drift = formatFixed(r_.refDrift, 1) + " " + word(972);
    switch (r_.termCrit) {
    case 0:
        out_.subLine(word(967), word(968));
        out_.subLine(word(971), seconds(r_.endPDel));
        break;
    case 1:
        out_.subLine(word(967), word(969));
        out_.subLine(word(969), drift);
        break;
    default:
        out_.subLine(word(967), word(970));
        out_.subLine(word(970), drift);
        break;
    }
}

std::string KFWriter::render(int indent) {
    identity();
    mode();
    if (!second())
        out_.line(word(903), r_.preDisp != 0 ? num(r_.preDisp) + " %" : word(925));
    out_.line(word(904), seconds(r_.preTitT));
    out_.line(word(743), num(r_.stirSp) + " " + word(871));
    out_.line(word(926), r_.stirr);
    if (!second()) {
        drift();
        out_.line(word(908), r_.solv);
        if (r_.mode != 0)
            standard();
        else
            sample();
        titrant();
        control();
        termination();
        if (r_.mode == 0)
            out_.line(word(943), resultUnit());
        return out_.finish(indent);
    }
    if (r_.mode == 0)
        drift();
    out_.line(word(1012), r_.solv);
    sample();
    control();
    termination();
    out_.line(word(943), resultUnit());
    return out_.finish(indent);
}

} // namespace

KFMethodRecord readKFMethodRecord(std::string_view text) {
    static const FieldTable<K> table = makeTable();
    return table.read(text);
}

const float* standardDensity(int index) {
    if (index < 0 || index >= static_cast<int>(kStandards.size()))
        return nullptr;
    return &kStandards[static_cast<std::size_t>(index)].density;
}

std::string renderKFMethod(const std::string& text, int width, int indent) {
    return KFWriter(readKFMethodRecord(text), width, Variant::First).render(indent);
}

std::string renderKFMethod2(const std::string& text, int width, int indent) {
    return KFWriter(readKFMethodRecord(text), width, Variant::Second).render(indent);
}
