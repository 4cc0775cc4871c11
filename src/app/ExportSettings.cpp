#include "app/ExportSettings.h"

#include "core/Ini.h"

namespace {
const char* const kQuote = "\"";
}

void chooseListSeparator(ExportOptions& o, int csvIndex) {
    o.csvSep = csvIndex == 1 ? 1 : 0;
    if (o.csvSep == 0) {
        o.listSeparator = ",";
        o.quoteChar = o.decSep == 1 ? kQuote : "";
    } else {
        o.listSeparator = ";";
    }
}

void chooseDecimalSeparator(ExportOptions& o, int decIndex) {
    o.decSep = decIndex == 1 ? 1 : 0;
    if (o.decSep == 0) {
        o.decimalSeparator = ".";
        o.quoteChar = "";
    } else {
        o.decimalSeparator = ",";
        o.quoteChar = o.csvSep == 0 ? kQuote : "";
    }
}

void chooseSummaryOrder(ExportOptions& o, int orderIndex) {
    o.orderBy = orderIndex >= 0 && orderIndex <= 2 ? orderIndex : 0;
}

void storeExportSettings(ExportOptions& o, const std::filesystem::path& configIni, Host& host) {
    setIniString(configIni, "Options", "csvSep", std::to_string(o.csvSep), host);
    setIniString(configIni, "Options", "decSep", std::to_string(o.decSep), host);
    setIniString(configIni, "Options", "orderBy", std::to_string(o.orderBy), host);
    o = exportOptionsFor(o.csvSep, o.decSep, o.orderBy);
}
