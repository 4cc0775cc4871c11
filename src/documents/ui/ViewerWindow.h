#pragma once
// The document viewer (`view`): one method, sequence or report as text in a
// fixed-pitch font, the report's titration curve beside it on the PC as a
// picture, or the curve of its own table of measurements. One instance,
// created on first use and shown modally; its current view text stays after
// it closes.
#include "documents/PcDocument.h"
#include "documents/TitratorInfo.h"
#include "documents/ui/DocumentPrinter.h"

#include <QDialog>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class CurveView;
class Host;
class Layout;
class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QTextEdit;
class WidgetControl;

class ViewerWindow : public QDialog {
    Q_OBJECT
public:
    enum Mode { TextMode = 1, PictureMode = 2, CurveMode = 3 };
    static constexpr int kMinWidthTwips = 10000;
    static constexpr int kMinHeightTwips = 6000;
    static constexpr int kMarginTwips = 100;

    explicit ViewerWindow(Host& host, QWidget* parent = nullptr);
    ~ViewerWindow() override;

    // Renders the text for its type and the titrator's kind, keeps the result as
    // the current view text and shows it modally. graphPath: the picture beside a
    // PC report, "" for none (always for titrator files). name: the file's name; a
    // report with a table of measurements gets its curve, and opens on it when it
    // has no picture.
    void viewFile(const std::string& text, int fileType, int kind, const TitratorInfo& titrator,
                  const std::string& graphPath, const std::string& name = "");
    // As viewFile, without waiting: the viewer is loaded but not shown.
    void loadFile(const std::string& text, int fileType, int kind, const TitratorInfo& titrator,
                  const std::string& graphPath, const std::string& name = "");
    // A document from openPcDocument or a fetch: its refusal or its error is shown
    // instead of the viewer when it has one. False when nothing was shown.
    bool viewDocument(const OpenedDocument& doc, int kind, const TitratorInfo& titrator);

    const std::string& viewText() const { return viewText_; }
    bool hasViewText() const { return hasViewText_; }
    const std::string& graphPath() const { return graphPath_; }
    int mode() const { return mode_; }
    // What the picture area says when the picture cannot be shown; "" when it is.
    QString pictureProblem() const;
    DocumentPrinter& printer() { return printer_; }
    CurveView& curve() { return *curve_; }
    bool hasCurve() const { return hasCurve_; }
    // Where a PDF without a printer and the curve's exports go (the PC folder).
    void setOutputFolder(const std::filesystem::path& folder);

    void closeBtn_Click();
    void printBtn_Click();
    void viewGraphBtn_Click();
    void viewCurveBtn_Click();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void buildLayout();
    void setMode(int mode);
    void loadPicture();
    void layOut();

    Host& host_;
    DocumentPrinter printer_;
    std::string viewText_;
    bool hasViewText_ = false;
    int viewFileType_ = 0;
    std::string graphPath_;
    std::string name_;
    bool hasCurve_ = false;
    int mode_ = TextMode;

    QStackedWidget* areas_;
    QTextEdit* textArea_;
    QScrollArea* pictureArea_;
    QLabel* picture_;
    CurveView* curve_;
    QPushButton *closeBtn, *printBtn, *viewGraphBtn, *viewCurveBtn;
    QWidget* spacer_;
    std::vector<std::unique_ptr<WidgetControl>> controls_;
    std::vector<std::unique_ptr<Layout>> layouts_;
};
