#pragma once
// veltran-cli print: a document laid out on pages as the Print command prints
// it, written to a PDF file.
#include <iosfwd>
#include <memory>
#include <string>

class QCoreApplication;
struct RenderOptions;

// print FILE [--type N] [--kind K] [--firmware F] [--series QX50x|QX53x]
//            [--device-type T] [--pdf OUT.pdf]
// Renders FILE, puts the print lines into the report database of the data folder
// and lays them out with print.rpc into OUT.pdf (default: FILE's name with ".pdf",
// in the current folder). Without --type the file's name must be of a type the
// Print command takes. Prints "OUT.pdf: N pages". Exit 0, or 2 for a refused
// type, or a file, database or template that cannot be used.
int cmdPrint(const RenderOptions& options, std::ostream& out, std::ostream& err);

// The application object a command needs: painting a PDF needs fonts, so "print"
// gets a QGuiApplication, on the offscreen platform unless QT_QPA_PLATFORM says
// otherwise (a PDF needs no display, and a stale DISPLAY would abort it).
std::unique_ptr<QCoreApplication> cliApplication(int& argc, char** argv,
                                                 const std::string& command);
