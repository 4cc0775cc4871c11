#pragma once
// What the export knows of report texts: the report kinds by file name, the
// column names of the data tables and the labels of the summary fields, in the
// four report languages (English, Portuguese, Spanish, French). Texts are
// Windows-1252 bytes, as the titrator writes them.
#include "documents/ExportError.h"

#include <array>
#include <string_view>

enum class ReportType {
    Titration = 0,
    Ph = 1,
    Mv = 2,
    MvRel = 3,
    KarlFischer = 4,
    Drift = 5,
    Ise = 6,
    Tray = 7,
    Unknown = 255
};

struct ReportKind {
    ReportType type = ReportType::Unknown;
    std::string_view marker; // a text of the data table's column-header line
};

// The kind of a report by its file name (a bare name or a path): the name must end in
// upper-case "RPT" and its first three characters give the type, both compared exactly.
ExportFault reportKindOf(std::string_view fileName, ReportKind& kind);

inline constexpr int kReportLanguages = 4;
inline constexpr int kColumnNames = 22;
inline constexpr int kTempColumn = 20; // "Temp.[", followed by a "Temp.Comp." column
inline constexpr int kMvRelColumn = 4;
inline constexpr int kMvColumn = 5;
using ColumnNames = std::array<std::array<std::string_view, kReportLanguages>, kColumnNames>;
const ColumnNames& columnNames();

inline constexpr int kSummaryFields = 11;
inline constexpr int kLabelVariants = 10;
// The summary fields the program reads by their place.
inline constexpr int kSampleField = 1;
inline constexpr int kResultField = 2;
inline constexpr int kSampleSizeField = 4;
inline constexpr int kEndPointField = 6;
inline constexpr int kDateField = 8;
inline constexpr int kReportIdField = 9;
inline constexpr int kMethodField = 10;
inline constexpr std::string_view kNoLabel = "{-}";
using SummaryLabels = std::array<std::array<std::string_view, kLabelVariants>, kSummaryFields>;
const SummaryLabels& summaryLabels();

// The summary's header row for a user-interface language: 2 to 4 the Portuguese
// wording, any other the English one.
std::array<std::string_view, kSummaryFields> summaryHeader(int language);

// Tray reports come in English, Portuguese and Spanish.
struct TrayWords {
    std::string_view dateLabel; // with its ":"
    std::array<std::string_view, 2> failures;
    std::array<std::string_view, 6> columns;
};
inline constexpr int kTrayLanguages = 3;
const std::array<TrayWords, kTrayLanguages>& trayVocabulary();

// The end-point volume labels: `before`, then " N" for end point N from 2 on, then
// `after` ("End Point 2 Volume:"). The first is the summary's field 6 label.
struct EndPointLabel {
    std::string_view before;
    std::string_view after;
};
const std::array<EndPointLabel, kReportLanguages>& endPointLabels();

inline constexpr std::string_view kLoggingMethod = "pH/mV/ISE logging";
