#pragma once
// The renderers' labels come from the language table: tests read the shipped
// English file once.
#include "core/Ini.h"
#include "core/Language.h"

inline void useEnglishTexts() {
    static const bool loaded = [] {
        setLanguageTable(readLanguageTable(IniFile::load(VT_SOURCE_DIR "/data/lang/english.lng")));
        return true;
    }();
    (void)loaded;
}
