#pragma once
// Small text routines every part of the program uses. Texts are 8-bit bytes.
#include <string>
#include <vector>

namespace text {
std::string trim(const std::string& s);
std::string trimRight(const std::string& s);
std::string upper(std::string s);
std::string lower(std::string s);
// True for an optional sign followed by digits (blanks around allowed).
bool isNumeric(const std::string& s);
bool containsControl(const std::string& s);
// The text with each control character shown as "?", for naming it in a message.
std::string printable(std::string s);
// The lines of a text; each ends at LF, a CR before it is dropped; no empty last line.
std::vector<std::string> splitLines(const std::string& text);
} // namespace text

// Fills each "%v" in order with the next argument, then turns "\n" into a carriage return.
std::string formatMsg(const std::string& tmpl, const std::vector<std::string>& args);

// Returns the part before the first delimiter and leaves the rest in source; without a
// delimiter returns the whole source and empties it.
std::string takeToken(std::string& source, const std::string& delimiter);

// A PC text file's bytes read line by line (CR LF, LF or CR ends a line), each
// line followed by CR LF: the line ends the titrator's files have.
std::string textFromFileLines(const std::string& bytes);

// Replaces every occurrence, going on after each inserted replacement.
std::string replaceAll(std::string s, const std::string& find, const std::string& replacement);

// The larger of two numbers; the first when they are equal.
double maxOf(double a, double b);

// "2.05", or "2.05RC-3" for a revision other than 9999.
std::string versionText(int major, int minor, int revision);
