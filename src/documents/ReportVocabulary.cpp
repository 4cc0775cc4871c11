#include "documents/ReportVocabulary.h"

#include <string>

namespace {

struct KindEntry {
    std::string_view prefix;
    ReportKind kind;
};

constexpr std::array<KindEntry, 8> kKinds{{
    {"TI_", {ReportType::Titration, " Volume[mL]"}},
    {"PH_", {ReportType::Ph, "pH      mV"}},
    {"MV_", {ReportType::Mv, "     mV   Temp."}},
    {"MVR", {ReportType::MvRel, "mV rel       mV"}},
    {"KF_", {ReportType::KarlFischer, " mV       Time"}},
    {"DR_", {ReportType::Drift, "g/min]"}},
    {"ISE", {ReportType::Ise, "  mV   Temp.["}},
    {"TRA", {ReportType::Tray, "-------------------"}},
}};

std::string_view baseName(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

ExportFault reportKindOf(std::string_view fileName, ReportKind& kind) {
    kind = {};
    // Case-exact, as the titrator writes its names: "ti_00001.rpt" is no report here.
    const std::string_view name = baseName(fileName);
    if (name.size() < 3 || name.compare(name.size() - 3, 3, "RPT") != 0)
        return exporterr::notReport();
    for (const KindEntry& e : kKinds)
        if (name.compare(0, e.prefix.size(), e.prefix) == 0) {
            kind = e.kind;
            return std::nullopt;
        }
    return exporterr::unknownType();
}

const ColumnNames& columnNames() {
    static const ColumnNames names{{
        {"Nr", "Nr", "N\xBA", "Nr"},
        {"Volume[", "Volume[", "Volume[", "Volume["},
        {"TitrWater[", "TitrWater[", "TitrWater[", "TitrWater["},
        {"pH", "pH", "pH", "pH"},
        {"mV rel", "mV rel", "mV rel", "mV rel"},
        {"mV", "mV", "mV", "mV"},
        {"ppb", "ppb", "ppb", "ppb"},
        {"g/L", "g/L", "g/L", "g/L"},
        {"ppt", "ppt", "ppt", "ppt"},
        {"ppm", "ppm", "ppm", "ppm"},
        {"mg/L", "mg/L", "mg/L", "mg/L"},
        {"\xB5g/L", "\xB5g/L", "\xB5g/L", "\xB5g/L"},
        {"mg/mL", "mg/mL", "mg/mL", "mg/mL"},
        {"  M      mV", "  M      mV", "  M      mV", "  M      mV"},
        {"mol/L", "mol/L", "mol/L", "mol/L"},
        {"mmol/L", "mmol/L", "mmol/L", "mmol/L"},
        {"%w/v", "%w/v", "%w/v", "%w/v"},
        {"User", "User", "User", "User"},
        {"Drift[", "Deriva[", "Deriva[", "D\xE9rive["},
        {"Graphic", "Graphic",
         "Gr\xE1"
         "fico",
         "Graphic"},
        {"Temp.[", "Temp.[", "Temp.[", "Temp.["},
        {"Time", "Time", "Hora", "Heure"},
    }};
    return names;
}

const SummaryLabels& summaryLabels() {
    static constexpr std::string_view n = kNoLabel;
    static const SummaryLabels labels{{
        {n, n, n, n, n, n, n, n, n, n},
        {"Sample Name", "Sample Name", "Sample Name", "Nome Amostra", "Nome da Amostra",
         "Nombre Muestra", "Nombre de la Muestra",
         "Nom de l'\xC9"
         "chantillon:",
         "Nombre Muestra", "Nome Amostra"},
        {"Result:", "Result:", "Result:", "Resultado:", "Resultados:", "Resultado:", "Resultado:",
         "R\xE9sultats:", "Resultado:", "Resultado:"},
        {n, n, n, n, n, n, n, n, n, n},
        {"Analyte Size:", "Standard Size:", "Sample Size:", "Tamanho Titulado:",
         "Tamanho da amostra:", "Tama\xF1o Analito:", "Tama\xF1o de la muestra:",
         "Taille \xC9"
         "chantillon:",
         "Tama\xF1o Analito:", "Tamanho Titulado:"},
        {n, n, n, n, n, n, n, n, n, n},
        {"End Point Volume:", "End Point Volume:", "End Point Volume:", "Volume de End-point:",
         "Volume de End-point:", "Volumen de Punto Final:", "Volumen de Punto Final:",
         "Volume Point Final:", "Volumen de Punto Final:", "Volume de End-point:"},
        {n, n, n, n, n, n, n, n, n, n},
        {"Time & Date:", "Time & Date:", "Time & Date:", "Hora & Data:", "Hora & Data",
         "Fecha y Hora:", "Fecha y Hora:", "Date et Heure:", "Fecha y Hora:", "Hora & Data:"},
        {"Report ID:", "Titration ID:", "Logging ID", "ID de Registo", "ID Relat\xF3rio",
         "ID registro",
         "ID Informe:", "ID de Titrage:", "ID Titraci\xF3n:", "ID de Titula\xE7\xE3o"},
        {"Method Name:", "Method Name:", "Method Name:", "Nome M\xE9todo:", "Nome M\xE9todo:",
         "Nombre Mtdo.:", "Nombre Mtdo.:", "Nom de M\xE9thode", "Nombre Mtdo.:", "Nome M\xE9todo:"},
    }};
    return labels;
}

std::array<std::string_view, kSummaryFields> summaryHeader(int language) {
    if (language >= 2 && language <= 4)
        return {"#",
                "Nome Amostra",
                "Resultados",
                "Unit",
                "Tamanho da amostra",
                "Amostra Nome",
                "Volume Dispensed",
                "Volume Dispensed Unit",
                "Hora & Data",
                "ID de Registo",
                "Nome M\xE9todo"};
    // Every other language (German is 5) reads the English labels rather than
    // a header row of empty cells.
    return {"#",           "Sample Name", "Result",           "Unit",
            "Sample Size", "Unit",        "Volume Dispensed", "Unit",
            "Date & Time", "Report ID",   "Titration Method"};
}

const std::array<EndPointLabel, kReportLanguages>& endPointLabels() {
    static constexpr std::array<EndPointLabel, kReportLanguages> labels{{
        {"End Point", " Volume:"},
        {"Volume de End-point", ":"},
        {"Volumen de Punto Final", ":"},
        {"Volume Point Final", ":"},
    }};
    return labels;
}

const std::array<TrayWords, kTrayLanguages>& trayVocabulary() {
    static const std::array<TrayWords, kTrayLanguages> words{{
        {"Date & Time:",
         {"Error", "Stopped"},
         {"#", "Sample Name", "Result:", "Unit", "Report Id", "Date & Time"}},
        {"Data & Hora:",
         {"Erro", "Parado"},
         {"#", "Amostra Nome", "Resultado", "Unit", "Relat. Id", "Data & Hora"}},
        {"Fecha y Hora:",
         {"Error", "Parade"},
         {"#", "Muestra Nombre", "Resultado", "Unit", "Informe Id", "Fecha y Hora"}},
    }};
    return words;
}
