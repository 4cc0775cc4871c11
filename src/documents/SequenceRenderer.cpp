#include "documents/SequenceRenderer.h"

#include "core/Text.h"
#include "documents/DocumentText.h"
#include "documents/FieldTable.h"

namespace {

using Q = SequenceRecord;

std::string withComma(std::string_view name) {
    return name.empty() ? std::string() : ", " + std::string(name);
}

FieldTable<Q> makeTable() {
    FieldTable<Q> t;
    t.text("NAM", &Q::nam).text("SID", &Q::sid).number("TSP", &Q::tsp).text("REV", &Q::rev);
    t.text("MID", &Q::mid).text("LMID", &Q::lmid);
    t.custom("MNA", [](Q& r, std::string_view v) { r.mna = withComma(v); });
    t.custom("LMNA", [](Q& r, std::string_view v) { r.lmna = withComma(v); });
    t.number("MBB", &Q::mbb).number("PWF", &Q::pwf).number("THH", &Q::thh);
    t.number("THT", &Q::tht).number("STT", &Q::stt).number("SCT", &Q::sct);
    t.number("STB", &Q::stb).text("INF", &Q::inf).number("BHG", &Q::bhg);
    t.number("SLP", &Q::slp).number("SLT", &Q::slt).number("SLH", &Q::slh);
    using A = SequenceRecord::Addition;
    static constexpr std::pair<const char*, std::int16_t A::*> kAddition[] = {
        {"RAP", &A::pump},           {"RAT", &A::time},      {"RAH", &A::height},
        {"RAW", &A::wait},           {"RAWT", &A::waitTime}, {"RASP", &A::stirSpeed},
        {"RAPH", &A::positionHeight}};
    for (std::size_t n = 0; n < 2; ++n)
        for (const auto& entry : kAddition)
            t.custom(entry.first + std::to_string(n + 1),
                     [n, member = entry.second](Q& r, std::string_view v) {
                         assignNumber(r.additions[n].*member, v);
                     });
    t.number("AFM", &Q::afm).number("AFP", &Q::afp).number("AFT", &Q::aft);
    t.number("AFH", &Q::afh).number("AFSP", &Q::afsp).number("AFST", &Q::afst);
    using R = SequenceRecord::Rinse;
    static constexpr std::pair<const char*, std::int16_t R::*> kRinse[] = {
        {"TP", &R::type},     {"B", &R::beaker}, {"T", &R::time},       {"H", &R::height},
        {"WT", &R::waitTime}, {"S", &R::stir},   {"SP", &R::stirSpeed}, {"AP", &R::pump}};
    for (std::size_t n = 0; n < 3; ++n)
        for (const auto& entry : kRinse)
            t.custom("R" + std::to_string(n + 1) + entry.first,
                     [n, member = entry.second](Q& r, std::string_view v) {
                         assignNumber(r.rinses[n].*member, v);
                     });
    return t;
}

std::string num(int n) {
    return std::to_string(n);
}
std::string pump(int n) {
    return formatMsg(word(803), {num(n)});
}
std::string secondsWord(int n) {
    return num(n) + " " + word(1086);
}
std::string mm(int n) {
    return num(n) + " mm";
}
std::string onOff(int n) {
    return n == 0 || n == 1 ? word(872 + n) : "";
}

class SequenceWriter {
public:
    SequenceWriter(SequenceRecord r, int width) : r_(std::move(r)), out_(width) {}
    std::string render(int indent);

private:
    void addition(int labelText, const SequenceRecord::Addition& a);
    void additionalFunction();
    void rinse(int n, const SequenceRecord::Rinse& b);

    SequenceRecord r_;
    DocumentWriter out_;
};

// Where and how long the reagent goes in, then the stirring and the wait after it.
void SequenceWriter::addition(int labelText, const SequenceRecord::Addition& a) {
    if (a.pump == 0) {
        out_.line(word(labelText), word(872));
        return;
    }
    out_.header(word(labelText));
    out_.subLine(word(1051), pump(a.pump));
    out_.subLine(word(1052), secondsWord(a.time));
    out_.subLine(word(1053), mm(a.height));
    out_.subLine(word(1060), num(a.stirSpeed) + " " + word(1087));
    out_.subLine(word(1059), secondsWord(a.waitTime));
    out_.subLine(word(1061), secondsWord(a.wait));
}

void SequenceWriter::additionalFunction() {
    if (r_.afm == 0) {
        out_.line(word(1049), word(872));
        return;
    }
    out_.header(word(1049));
    out_.subLine(word(1051), pump(r_.afp));
    out_.subLine(word(1052), secondsWord(r_.aft));
    out_.subLine(word(1053), mm(r_.afh));
    out_.subLine(word(1060), num(r_.afsp) + " " + word(1087));
    out_.subLine(word(1059), secondsWord(r_.afst));
}

void SequenceWriter::rinse(int n, const SequenceRecord::Rinse& b) {
    const std::string label = word(1048) + " " + num(n);
    if (b.type == 0) {
        out_.line(label, word(872));
        return;
    }
    out_.header(label);
    out_.subLine(word(1051), pump(b.pump));
    out_.subLine(word(1058), mm(b.height));
    out_.subLine(word(1052), secondsWord(b.time));
    out_.subLine(word(1060), b.stir != 0 ? num(b.stirSpeed) + " " + word(1087) : word(872));
    out_.subLine(word(1061), secondsWord(b.waitTime));
}

std::string SequenceWriter::render(int indent) {
    out_.line(word(1036), r_.nam);
    out_.line(word(1037), r_.sid);
    out_.line(word(1038), r_.inf);
    out_.line(word(1039), r_.mbb == 1 ? word(1050) : num(r_.mbb));
    out_.line(word(1040), onOff(r_.pwf));
    addition(1041, r_.additions[0]);
    addition(1042, r_.additions[1]);
    out_.line(word(1043), r_.mid + r_.mna);
    if (!r_.lmid.empty())
        out_.line(word(1105), r_.lmid + r_.lmna);
    out_.line(word(1044), mm(r_.bhg));
    out_.line(word(1045), mm(r_.thh));
    out_.line(word(1057), formatMsg(word(997), {num(r_.slp)}));
    additionalFunction();
    for (std::size_t n = 0; n < r_.rinses.size(); ++n)
        rinse(static_cast<int>(n) + 1, r_.rinses[n]);
    return out_.finish(indent);
}

} // namespace

SequenceRecord readSequenceRecord(std::string_view text) {
    static const FieldTable<Q> table = makeTable();
    return table.read(text);
}

std::string renderSequence(const std::string& text, int width, int indent) {
    return SequenceWriter(readSequenceRecord(text), width).render(indent);
}
