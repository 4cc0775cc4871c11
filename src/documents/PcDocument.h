#pragma once
// Opening, printing or previewing a file of the PC pane, up to the point where
// a window takes over: the file's type checked for the command, its text read
// as the viewer reads it, and the titration-curve picture beside it found.
#include <filesystem>
#include <string>

enum class DocumentUse { View, Print, Preview };

// A document handed to the viewer or the printer: from the PC pane through
// openPcDocument, from the titrator pane as the fetch left it.
struct OpenedDocument {
    std::string name;      // the file's name (a report's name gives its kind)
    std::string text;      // the file's text, each line followed by CR LF
    int fileType = 0;      // SelectedFileType of the name (PC) or the pane's type
    std::string graphPath; // the picture beside a PC file, by its name on disk; "" if none
    int refusal = 0;       // the language text saying the command does not take this type
    int errorNumber = 0;   // the file could not be read or fetched: errno-like number
    std::string error;     // and why

    bool ok() const { return refusal == 0 && errorNumber == 0; }
};

inline constexpr int kTextCannotOpen = 144;

// The types a PC file may have to be opened: 2, 3, 4, 10.
bool viewAccepts(int fileType);

// entry: the pane's list text (the name is the text before its first blank), which
// the caller has already passed through checkFileName. The type is checked before
// the file is read, so a refused file is never opened.
OpenedDocument openPcDocument(const std::filesystem::path& folder, const std::string& entry,
                              DocumentUse use);

// The name up to and including its first "." followed by "bmp", looked for in the
// folder without regard to case. The path as it is on disk, or "" when there is none.
std::string findCompanionPicture(const std::filesystem::path& folder, const std::string& fileName);
