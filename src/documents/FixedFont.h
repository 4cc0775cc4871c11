#pragma once
// The fixed-pitch font of the viewer and the printed pages. Columns of a method
// or a report line up only in a font whose every character has one width.
#include <QFont>
#include <string>

// The wished family when it is installed and of fixed pitch, else the first
// installed of the usual fixed-pitch families, else the system's fixed font.
QFont fixedPitchFont(const std::string& family, double pointSize);
