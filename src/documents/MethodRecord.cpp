#include "documents/MethodRecord.h"

#include "documents/DocumentText.h"
#include "documents/FieldTable.h"
#include "core/NumberFormat.h"

namespace {

using M = MethodRecord;

FieldTable<M> makeTable() {
    FieldTable<M> t;
    t.text("Name", &M::name).text("FileID", &M::fileId).number("TimeStamp", &M::timeStamp);
    t.number("Rev", &M::rev).number("DosingType", &M::dosingType);
    t.number("LinearVol", &M::linearVol).number("DynMinVol", &M::dynMinVol);
    t.number("DynMaxVol", &M::dynMaxVol).number("DynPotIncrement", &M::dynPotIncrement);
    t.number("EP_mode", &M::epMode).number("EP_pH", &M::epPH).number("EP_mV", &M::epMV);
    t.number("EP_curve", &M::epCurve).number("DerThreshold", &M::derThreshold);
    t.number("EQRangeOpt", &M::eqRangeOpt).number("EQLimit1", &M::eqLimit1);
    t.number("EQLimit2", &M::eqLimit2).number("DerFiltOpt", &M::derFiltOpt);
    t.number("PreTitrVol", &M::preTitrVol).number("PreStirTime", &M::preStirTime);
    t.number("MeasureMode", &M::measureMode).number("StabmvVariation", &M::stabMvVariation);
    t.number("StabTimeInterval", &M::stabTimeInterval);
    t.number("MinSignalStabWaitPer", &M::minSignalStabWaitPer);
    t.number("MaxSignalStabWaitPer", &M::maxSignalStabWaitPer);
    t.number("TimedIncrPeriod", &M::timedIncrPeriod).text("ElecType", &M::elecType);
    t.number("CalcNr", &M::calcNr).number("SampleUnit", &M::sampleUnit);
    t.number("CalcMethod", &M::calcMethod);
    for (std::size_t i = 0; i < kTwoTitrantKeys.size(); ++i)
        t.custom(kTwoTitrantKeys[i],
                 [i](M& r, std::string_view v) { assignNumber(r.twoTitrant[i], v); });
    for (std::size_t i = 0; i < kOneTitrantKeys.size(); ++i)
        t.custom(kOneTitrantKeys[i],
                 [i](M& r, std::string_view v) { assignNumber(r.oneTitrant[i], v); });
    t.text("TitrName", &M::titrName).number("TitrantUnit", &M::titrantUnit);
    t.number("TitrantPumpId", &M::titrantPumpId).number("SampleEntry", &M::sampleEntry);
    t.number("MaxDelivVol", &M::maxDelivVol).number("StirSpeed", &M::stirSpeed);
    t.number("LowerLimit", &M::lowerLimit).number("UpperLimit", &M::upperLimit);
    t.number("FlowRate", &M::flowRate).number("SignalAve", &M::signalAve);
    t.number("DecPlc", &M::decPlc).number("BlankOption", &M::blankOption);
    t.number("BlankValue", &M::blankValue).number("DilutionOption", &M::dilutionOption);
    t.number("DilutionVol", &M::dilutionVol).number("AliquotVol", &M::aliquotVol);
    t.number("NrOfEQPoints", &M::nrOfEQPoints).number("TitrationType", &M::titrationType);
    t.text("Titrant1Name", &M::titrant1Name).number("Titrant1Units", &M::titrant1Units);
    t.number("Titrant1PumpId", &M::titrant1PumpId).text("Titrant2Name", &M::titrant2Name);
    t.number("Titrant2Units", &M::titrant2Units).number("Titrant2PumpId", &M::titrant2PumpId);
    t.number("BreakOpt", &M::breakOpt).number("CalcBackTitr", &M::calcBackTitr);
    t.number("AnalyteType", &M::analyteType).number("DirectTitrEntry", &M::directTitrEntry);
    t.number("DirectTitrVol", &M::directTitrVol).number("ABS", &M::abs).number("STS", &M::sts);
    t.text("LMN", &M::lmn).number("LMT", &M::lmt).number("SLM", &M::slm);
    t.number("Revision", &M::revision).number("RAP", &M::rap).number("RAV", &M::rav);
    t.number("RAS", &M::ras).number("RAW", &M::raw);
    t.number("RAM1", &M::ram1).number("RAP1", &M::rap1).number("RAV1", &M::rav1);
    t.number("RAS1", &M::ras1).number("RAW1", &M::raw1).number("RAT1", &M::rat1);
    t.number("RAM2", &M::ram2).number("RAP2", &M::rap2).number("RAV2", &M::rav2);
    t.number("RAS2", &M::ras2).number("RAW2", &M::raw2).number("RAT2", &M::rat2);
    return t;
}

} // namespace

MethodRecord readMethodRecord(std::string_view text) {
    static const FieldTable<M> table = makeTable();
    return table.read(text);
}

