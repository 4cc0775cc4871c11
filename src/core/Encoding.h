#pragma once
// The one place where 8-bit Windows-1252 texts meet Qt's Unicode strings.
#include <string>

class QString;

QString toQt(const std::string& bytes);
std::string fromQt(const QString& text);
