#pragma once
// The one place where 8-bit Windows-1252 texts meet Qt's Unicode strings.
#include <string>

class QString;

QString toQt(const std::string& bytes);
std::string fromQt(const QString& text);

// How language and About files are stored: UTF-8 when they begin with a byte-order
// mark, Windows-1252 otherwise. Gives the 8-bit Windows-1252 text the program holds;
// a character that code page lacks becomes "?".
std::string decodeTextFile(const std::string& content);
