#pragma once
// Compare Runs: several reports overlaid in one curve, one colour and one legend
// entry each. Reports of another kind than the first, or that cannot be read,
// are named above the curve and left out.
#include "documents/PcDocument.h"

#include <QDialog>
#include <filesystem>
#include <vector>

class CurveView;
class Host;
class QLabel;

class CurveWindow : public QDialog {
public:
    explicit CurveWindow(Host& host, QWidget* parent = nullptr);

    // Reads the documents and shows those that fit together, without waiting.
    void load(const std::vector<OpenedDocument>& docs);
    // As load, then shown modally.
    void compare(const std::vector<OpenedDocument>& docs);
    // Where the curve's exports go (the PC folder).
    void setOutputFolder(const std::filesystem::path& folder);

    CurveView& curve() { return *curve_; }
    QString note() const;

private:
    Host& host_;
    QLabel* note_;
    CurveView* curve_;
};
