#pragma once
// The document dispatch: what the viewer shows and the printer prints for a
// file's text, by file type and titrator kind.
#include "documents/TitratorInfo.h"

#include <string>

// Methods (types 1..3) by the titrator kind: 2 the first Karl Fischer variant,
// 3 the second, otherwise the ordinary method; reports (4, 5, 6, 11, 12) cleaned;
// sequences (10) rendered; anything else unchanged. Width 54, indent 2.
std::string renderDocument(const std::string& text, int fileType, int kind,
                           const TitratorInfo& titrator = {});

// Joins the lines the titrator continued after two TABs, turns each remaining TAB
// into two blanks and the titrator's degree character (167) into 176.
std::string cleanReportText(const std::string& text);
