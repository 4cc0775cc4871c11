#include "documents/ExportOptions.h"

#include "core/Ini.h"
#include "core/Numbers.h"

namespace {

int indexIn(int value, int last) {
    return value >= 0 && value <= last ? value : 0;
}

int iniIndex(const std::filesystem::path& file, const char* key, int last) {
    const auto v = num::parseInteger(getIniString(file, "Options", key));
    return v && *v >= 0 && *v <= last ? static_cast<int>(*v) : 0;
}

} // namespace

ExportOptions exportOptionsFor(int csvSep, int decSep, int orderBy) {
    ExportOptions o;
    o.csvSep = indexIn(csvSep, 1);
    o.decSep = indexIn(decSep, 1);
    o.orderBy = indexIn(orderBy, 2);
    o.listSeparator = o.csvSep == 1 ? ";" : ",";
    // A decimal comma would split a value in two without the quotes.
    o.decimalSeparator = o.decSep == 1 ? "," : ".";
    o.quoteChar = o.decSep == 1 ? "\"" : "";
    return o;
}

ExportOptions loadExportOptions(const std::filesystem::path& configIni) {
    return exportOptionsFor(iniIndex(configIni, "csvSep", 1), iniIndex(configIni, "decSep", 1),
                            iniIndex(configIni, "orderBy", 2));
}

ExportOptions& appExportOptions() {
    static ExportOptions options;
    return options;
}
