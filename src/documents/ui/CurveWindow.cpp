#include "documents/ui/CurveWindow.h"

#include "core/Language.h"
#include "core/Text.h"
#include "core/ui/GuiHost.h"
#include "documents/ui/CurveView.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kCaption = 1152;
constexpr int kNotOverlaid = 1153;
constexpr int kUnreadable = 1162;
constexpr int kCloseCaption = 206;
constexpr int kOpenWidth = 1000; // pixels, before the user resizes it
constexpr int kOpenHeight = 640;

} // namespace

CurveWindow::CurveWindow(Host& host, QWidget* parent) : QDialog(parent), host_(host) {
    setObjectName("compare");
    setModal(true);
    setWindowTitle(languageUiText(kCaption));
    note_ = new QLabel(this);
    note_->setObjectName("note");
    note_->setWordWrap(true);
    curve_ = new CurveView(host_, this);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close =
        buttons->addButton(languageUiText(kCloseCaption), QDialogButtonBox::RejectRole);
    close->setObjectName("closeBtn");
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* root = new QVBoxLayout(this);
    root->addWidget(note_);
    root->addWidget(curve_, 1);
    root->addWidget(buttons);
    resize(kOpenWidth, kOpenHeight);
}

void CurveWindow::load(const std::vector<OpenedDocument>& docs) {
    std::vector<CurveRun> runs;
    std::string problems;
    for (const OpenedDocument& doc : docs) {
        CurveRun run;
        const ExportFault fault =
            doc.ok()
                ? readRun(doc.name, doc.text, run)
                : ExportError{doc.errorNumber, doc.refusal ? langText(doc.refusal) : doc.error, ""};
        if (fault)
            problems += formatMsg(langText(kUnreadable), {doc.name, fault->description}) + "\n";
        else
            runs.push_back(run);
    }
    std::vector<CurveRun> rest;
    std::vector<CurveRun> fit = overlayable(runs, rest);
    std::string names;
    for (const CurveRun& r : rest)
        names += (names.empty() ? "" : ", ") + r.name;
    if (!rest.empty())
        problems += formatMsg(langText(kNotOverlaid), {names});
    note_->setText(uiText(text::trimRight(problems)));
    note_->setVisible(!problems.empty());
    curve_->setRuns(std::move(fit));
}

void CurveWindow::compare(const std::vector<OpenedDocument>& docs) {
    load(docs);
    exec();
}

void CurveWindow::setOutputFolder(const std::filesystem::path& folder) {
    curve_->setExportFolder(folder);
}

QString CurveWindow::note() const {
    return note_->text();
}
