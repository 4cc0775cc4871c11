#include "documents/ui/ViewerWindow.h"

#include "core/Encoding.h"
#include "core/FileTypes.h"
#include "core/Host.h"
#include "core/Language.h"
#include "core/Layout.h"
#include "core/Text.h"
#include "core/ui/GuiHost.h"
#include "core/ui/Named.h"
#include "core/ui/WidgetControl.h"
#include "documents/BitmapHeader.h"
#include "documents/FixedFont.h"
#include "documents/RenderDocument.h"
#include "documents/chart/CurveChart.h"
#include "documents/ui/CurveView.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTextEdit>
#include <algorithm>
#include <cerrno>

namespace {

constexpr int kCaption = 408;
constexpr int kViewCaption = 215; // the View command: the title of its messages
constexpr int kCloseCaption = 206;
constexpr int kPrintCaption = 226;
constexpr int kGraphCaption = 228;
constexpr int kTextCaption = 230;
constexpr int kCurveCaption = 1141;
constexpr int kOpenWidth = 820; // pixels, before the user resizes it
constexpr int kOpenHeight = 600;
constexpr int kButtonRowHeight = 30;
constexpr int kButtonWidth = 100;
constexpr int kPictureNotShown = 162; // %v = the file, why
constexpr const char* kViewerFont = "Courier New";

} // namespace

ViewerWindow::ViewerWindow(Host& host, QWidget* parent)
    : QDialog(parent), host_(host), printer_(host, this) {
    setObjectName("view");
    setModal(true);
    buildControls();
    buildLayout();
    const TwipsScale scale = screenTwipsScale(*this);
    setMinimumSize(scale.twipsToPixelsX(kMinWidthTwips), scale.twipsToPixelsY(kMinHeightTwips));
    resize(std::max(kOpenWidth, minimumWidth()), std::max(kOpenHeight, minimumHeight()));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

ViewerWindow::~ViewerWindow() = default;

void ViewerWindow::buildControls() {
    setWindowTitle(languageUiText(kCaption));
    areas_ = new QStackedWidget(this);
    textArea_ = named(new QTextEdit(areas_), "textArea");
    textArea_->setReadOnly(true);
    textArea_->setLineWrapMode(QTextEdit::NoWrap);
    textArea_->setAcceptRichText(false);
    textArea_->setFont(fixedPitchFont(kViewerFont, font().pointSizeF()));
    pictureArea_ = named(new QScrollArea(areas_), "pictureArea");
    picture_ = named(new QLabel, "picture");
    picture_->setAlignment(Qt::AlignCenter);
    pictureArea_->setWidget(picture_);
    pictureArea_->setAlignment(Qt::AlignCenter);
    curve_ = new CurveView(host_, areas_);
    areas_->addWidget(textArea_);
    areas_->addWidget(pictureArea_);
    areas_->addWidget(curve_);

    closeBtn = named(new QPushButton(languageUiText(kCloseCaption), this), "closeBtn");
    printBtn = named(new QPushButton(languageUiText(kPrintCaption), this), "printBtn");
    viewGraphBtn = named(new QPushButton(languageUiText(kGraphCaption), this), "viewGraphBtn");
    viewCurveBtn = named(new QPushButton(languageUiText(kCurveCaption), this), "viewCurveBtn");
    spacer_ = new QWidget(this);
    for (QPushButton* b : {closeBtn, printBtn, viewGraphBtn, viewCurveBtn})
        b->setAutoDefault(false);
    connect(closeBtn, &QPushButton::clicked, this, &ViewerWindow::closeBtn_Click);
    connect(printBtn, &QPushButton::clicked, this, &ViewerWindow::printBtn_Click);
    connect(viewGraphBtn, &QPushButton::clicked, this, &ViewerWindow::viewGraphBtn_Click);
    connect(viewCurveBtn, &QPushButton::clicked, this, &ViewerWindow::viewCurveBtn_Click);
}

// The areas fill the window inside the margin; the buttons run along the bottom edge.
void ViewerWindow::buildLayout() {
    const TwipsScale scale = screenTwipsScale(*this);
    auto control = [&](QWidget* w) -> LayoutControl& {
        controls_.push_back(std::make_unique<WidgetControl>(*w, scale));
        return *controls_.back();
    };
    // Wider than the usual width only when a caption needs it; the curve and
    // picture buttons also read "Text" in turn.
    const QString text = languageUiText(kTextCaption);
    for (auto [b, caption] :
         {std::pair{viewCurveBtn, kCurveCaption}, std::pair{viewGraphBtn, kGraphCaption}})
        b->resize(std::max(kButtonWidth, widestCaption(*b, {languageUiText(caption), text})),
                  kButtonRowHeight);
    for (QPushButton* b : {printBtn, closeBtn})
        b->resize(std::max(kButtonWidth, b->sizeHint().width()), kButtonRowHeight);
    layouts_.push_back(std::make_unique<Layout>(Layout::Column, scale));
    layouts_.push_back(std::make_unique<Layout>(Layout::Row, scale));
    Layout& root = *layouts_[0];
    Layout& buttons = *layouts_[1];
    const int margin = scale.twipsToPixelsX(kMarginTwips);
    root.setPadding(margin);
    root.setSpacing(margin);
    buttons.setHeight(kButtonRowHeight);
    buttons.setSpacing(margin);
    buttons.appendItem(control(viewCurveBtn), 0, 1);
    buttons.appendItem(control(viewGraphBtn), 0, 1);
    buttons.appendItem(control(spacer_), 1, 1);
    buttons.appendItem(control(printBtn), 0, 1);
    buttons.appendItem(control(closeBtn), 0, 1);
    root.appendItem(control(areas_), 1, 1);
    root.appendItem(buttons, 1, 0);
}

void ViewerWindow::layOut() {
    Layout& root = *layouts_[0];
    root.setWidth(width());
    root.setHeight(height());
    root.show();
}

void ViewerWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layOut();
}

void ViewerWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    setMode(mode_);
    layOut();
}

void ViewerWindow::loadFile(const std::string& text, int fileType, int kind,
                            const TitratorInfo& titrator, const std::string& graphPath,
                            const std::string& name) {
    viewText_.clear();
    hasViewText_ = false;
    viewText_ = renderDocument(text, fileType, kind, titrator);
    hasViewText_ = true;
    viewFileType_ = fileType;
    graphPath_ = graphPath;
    name_ = name;
    textArea_->setPlainText(uiText(viewText_));
    picture_->clear();
    CurveRun run;
    hasCurve_ = (ftype::isReport(fileType) || fileType == ftype::kTrayReports) &&
                !readRun(name, text, run) && run.report->hasCurve();
    curve_->setRuns(hasCurve_ ? std::vector<CurveRun>{run} : std::vector<CurveRun>{});
    // The report's own curve, unless the titrator drew a picture of it.
    setMode(hasCurve_ && graphPath_.empty() ? CurveMode : TextMode);
}

void ViewerWindow::viewFile(const std::string& text, int fileType, int kind,
                            const TitratorInfo& titrator, const std::string& graphPath,
                            const std::string& name) {
    loadFile(text, fileType, kind, titrator, graphPath, name);
    exec();
}

bool ViewerWindow::viewDocument(const OpenedDocument& doc, int kind, const TitratorInfo& titrator) {
    if (doc.refusal) {
        host_.message(langText(doc.refusal), "", Host::Icon::Warning);
        return false;
    }
    if (doc.errorNumber != 0) {
        showErrorInfo(host_, doc.errorNumber, doc.error, langTitle(kViewCaption));
        return false;
    }
    viewFile(doc.text, doc.fileType, kind, titrator, doc.graphPath, doc.name);
    return true;
}

void ViewerWindow::setMode(int mode) {
    mode_ = mode;
    const bool picture = mode_ == PictureMode;
    const bool curve = mode_ == CurveMode;
    viewGraphBtn->setVisible(picture || !graphPath_.empty());
    viewGraphBtn->setText(languageUiText(picture ? kTextCaption : kGraphCaption));
    viewCurveBtn->setVisible(hasCurve_);
    viewCurveBtn->setText(languageUiText(curve ? kTextCaption : kCurveCaption));
    printBtn->setVisible(!picture);
    areas_->setCurrentWidget(picture ? static_cast<QWidget*>(pictureArea_)
                             : curve ? static_cast<QWidget*>(curve_)
                                     : textArea_);
    if (picture)
        loadPicture();
}

// The header is read first: a damaged or enormous file is described, not decoded.
void ViewerWindow::loadPicture() {
    picture_->clear();
    BitmapSize size;
    std::string reason;
    const auto notShown = [this](const QString& why) {
        // Qt fills the file in: a path is UTF-8, not a language text.
        picture_->setText(uiText(formatMsg(langText(kPictureNotShown), {"%1", "%2"}))
                              .arg(QString::fromStdString(graphPath_), why));
        picture_->adjustSize();
    };
    if (!checkBitmapFile(graphPath_, size, reason))
        return notShown(uiText(reason));
    QImageReader reader(QString::fromStdString(graphPath_), "bmp");
    const QImage image = reader.read();
    if (image.isNull())
        return notShown(reader.errorString());
    picture_->setPixmap(QPixmap::fromImage(image));
    picture_->adjustSize();
}

QString ViewerWindow::pictureProblem() const {
    return picture_->pixmap().isNull() ? picture_->text() : QString();
}

void ViewerWindow::closeBtn_Click() {
    close();
}

void ViewerWindow::viewGraphBtn_Click() {
    setMode(mode_ == TextMode ? PictureMode : TextMode);
}

void ViewerWindow::viewCurveBtn_Click() {
    setMode(mode_ == CurveMode ? TextMode : CurveMode);
}

// The text, then the curve as the curve view draws it now.
void ViewerWindow::printBtn_Click() {
    std::vector<ExtraPage> pages;
    if (hasCurve_)
        pages.push_back(curvePage(curve_->series(), curve_->runs()));
    printer_.printViewText(viewText_, viewFileType_, name_, pages);
}

void ViewerWindow::setOutputFolder(const std::filesystem::path& folder) {
    printer_.setPdfFolder(folder);
    curve_->setExportFolder(folder);
}
