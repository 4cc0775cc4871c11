#pragma once
// The export part of the settings dialog: a choice in one of its lists takes
// effect at once, before OK; OK stores the indices and settles the quote rule.
#include "documents/ExportOptions.h"

#include <filesystem>

class Host;

// csvSeparatorCb_Click: "," or ";"; with "," the quotes follow the decimal comma.
void chooseListSeparator(ExportOptions& options, int csvIndex);
// decimaSeparatorCb_Click: "." without quotes, or "," quoted when the list separator is ",".
void chooseDecimalSeparator(ExportOptions& options, int decIndex);
// orderByCb_Click.
void chooseSummaryOrder(ExportOptions& options, int orderIndex);

// CmdOK_Click, the export part: the three indices to config.ini, and the
// separators as the start-up load would make them.
void storeExportSettings(ExportOptions& options, const std::filesystem::path& configIni,
                         Host& host);
