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

// What a method file's own text says of it, for a caller that has no titrator
// to ask: a standard method (2) when its FileID holds "QX", as its Identity line
// reads it, else a user method (3); and the titrator kind it was written for,
// from its MethType (32 + kind + 8 x flag): 34 the first Karl Fischer kind (2),
// 36 the second (3), else 0.
int methodFileType(const std::string& text);
int methodFileKind(const std::string& text);

// Joins the lines the titrator continued after two TABs, turns each remaining TAB
// into two blanks and the titrator's degree character (167) into 176.
std::string cleanReportText(const std::string& text);
