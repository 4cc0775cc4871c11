#pragma once
// The revision of a method text, as the replace questions show it. Standard
// library only: the renderers may take it too.
#include <string>

// Reads "key value" lines (CR LF separated) until the key "Rev" and returns its
// number with one decimal ("2.0"); "" when an empty line or the end comes
// first, or when the value is not a number.
std::string methodRevision(const std::string& text);
