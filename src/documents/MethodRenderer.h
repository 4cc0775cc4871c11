#pragma once
// An ordinary titration method as fixed-width text: one labelled line per
// setting, sub-lines indented under block headers.
#include "documents/TitratorInfo.h"

#include <string>

// Both callers pass width 54 and indent 2. The layout follows the titrator: the
// current one from firmware 1.6 or on the QX53x series, the early one otherwise.
// `kind` is the titrator kind (a type line is added for a kind other than 0).
std::string renderMethod(const std::string& text, int width, int indent,
                         const TitratorInfo& titrator, int kind = kKindOrdinary);

// True when the titrator gets the current layout.
bool usesCurrentLayout(const TitratorInfo& titrator);
