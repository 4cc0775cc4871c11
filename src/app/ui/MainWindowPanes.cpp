// The main window's panes: the controls wired to the pane logic, what the
// panes show, the lists' keys and mouse, and the layout on resize.
#include "app/MainLayout.h"
#include "app/PaneColumns.h"
#include "app/ui/MainWindow.h"
#include "app/ui/PaneTree.h"
#include "core/Encoding.h"
#include "core/Language.h"
#include "core/Settings.h"
#include "core/ui/GuiHost.h"
#include "core/ui/WidgetControl.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <functional>

namespace {

// The active pane's header, list and button are lit in a light cyan.
const QColor kSourceColour = fromBgr(0xFFFFD0);
const char* const kPcColumnsSection = "PcPane";
const char* const kTitratorColumnsSection = "TitratorPane";

void setBackground(QWidget* w, const QColor& colour, QPalette::ColorRole role) {
    QPalette p = w->palette();
    p.setColor(role, colour);
    w->setPalette(p);
}

void tick(QAbstractButton* button, const ControlState& state) {
    button->setEnabled(state.enabled);
    const QSignalBlocker quiet(button); // a tick from code is no click
    button->setChecked(state.checked);
}

void enable(std::initializer_list<QAction*> actions, bool on) {
    for (QAction* a : actions)
        a->setEnabled(on);
}

} // namespace

void MainWindow::connectControls() {
    const std::pair<QRadioButton*, Category> options[] = {
        {RptCheckbox, kReports},        {StdMtdCheckbox, kStandardMethods},
        {UsrMtdCheckBox, kUserMethods}, {AllMtdCheckBox, kAllMethods},
        {SeqCheckBox, kSequences},      {SeqRptCheckBox, kTrayReports}};
    for (auto [button, category] : options)
        connect(button, &QRadioButton::clicked, this, [this, button = button, category = category] {
            fixTabIndex(button);
            panes_->chooseCategory(category);
        });
    connect(ShowAllPcFilesCb, &QCheckBox::clicked, this,
            [this](bool ticked) { panes_->clickShowAllFiles(ticked); });
    connect(ShowCSVPcFilesCb, &QCheckBox::clicked, this,
            [this](bool ticked) { panes_->clickShowCsvFiles(ticked); });
    connect(pcOpenDirBtn, &QPushButton::clicked, this,
            [this] { panes_->pcOpenDir(selectedRows(pcList)); });
    connect(titOpenDirBtn, &QPushButton::clicked, this,
            [this] { panes_->titratorOpenDir(selectedRows(titList)); });
    connect(ChangePathBtn, &QPushButton::clicked, this, &MainWindow::ChangePathBtn_Click);
    connect(connectBtn, &QPushButton::clicked, this, &MainWindow::connectBtn_Click);
    connect(titList, &QAbstractItemView::clicked, this,
            [this] { panes_->titratorListClick(selectedRows(titList)); });
    connect(pcHiddenLabel, &QLabel::linkActivated, this, &MainWindow::showHiddenFiles);
    const std::pair<std::vector<QObject*>, std::function<void()>> commands[] = {
        {{ViewBtn, mnuFileView, popOpen}, [this] { openSelectedFile(); }},
        {{printBtn, mnuFilePrint, popPrint}, [this] { printSelectedFile(false); }},
        {{mnuFilePrintPreview}, [this] { printSelectedFile(true); }},
        {{ExportBtn, mnuFileExport, popExport}, [this] { exportSelectedReports(); }},
        {{copyBtn, mnuFileCopy, popCopy}, [this] { copySelected(panes_->source(), false); }},
        {{moveBtn, mnuFileMove, popMove}, [this] { copySelected(panes_->source(), true); }},
        {{deleteBtn, mnuFileDelete, popDelete}, [this] { deleteSelected(); }}};
    for (const auto& [senders, run] : commands) {
        for (QObject* sender : senders) {
            if (auto* button = qobject_cast<QPushButton*>(sender))
                connect(button, &QPushButton::clicked, this, run);
            else if (auto* action = qobject_cast<QAction*>(sender))
                connect(action, &QAction::triggered, this, run);
        }
    }
    for (PaneTree* list : {pcList, titList}) {
        connect(list, &QAbstractItemView::doubleClicked, this,
                [this, list] { listDoubleClicked(list); });
        connect(list, &QWidget::customContextMenuRequested, this,
                [this, list](const QPoint& pos) { showListMenu(list, pos); });
    }
    fixTabIndex(RptCheckbox);
}

// The option buttons, `first` leading, then the lists and command buttons in the
// order of kTabOrder; after the last of them Tab comes back to `first`, the
// control with tab index 0.
void MainWindow::fixTabIndex(QWidget* first) {
    std::vector<QWidget*> chain{first};
    for (QWidget* option :
         {RptCheckbox, StdMtdCheckbox, UsrMtdCheckBox, AllMtdCheckBox, SeqCheckBox, SeqRptCheckBox})
        if (option != first)
            chain.push_back(option);
    for (const TabStop& stop : kTabOrder)
        chain.push_back(centralWidget()->findChild<QWidget*>(
            QString::fromLatin1(stop.control.data(), static_cast<int>(stop.control.size()))));
    for (std::size_t i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
    setTabOrder(chain.back(), first);
}

// ---------------------------------------------------------------- what the panes show

void MainWindow::showPcLines(const std::vector<PaneLine>& lines) {
    pcList->showLines(lines);
}

void MainWindow::showTitratorLines(const std::vector<PaneLine>& lines) {
    titList->showLines(lines);
}

void MainWindow::showHiddenNote(const std::string& text) {
    hiddenNote_ = text;
    // A link only where the Show all files box can be ticked.
    const QString shown = toQt(text).toHtmlEscaped();
    pcHiddenLabel->setText(ShowAllPcFilesCb->isEnabled() && !text.empty()
                               ? "<a href=\"all\">" + shown + "</a>"
                               : shown);
}

void MainWindow::showFreeSlots(const std::string& text) {
    titFreeLabel->setText(toQt(text));
}

void MainWindow::showHiddenFiles() {
    if (ShowAllPcFilesCb->isEnabled() && !ShowAllPcFilesCb->isChecked())
        ShowAllPcFilesCb->click();
}

void MainWindow::showPcPath(const std::string& path) {
    const QString text = toQt(path);
    PCPathLabel->setText(text + "  ");
    PCPathLabel->setToolTip(text);
    layOut();
}

void MainWindow::applyCommands(const CommandView& v) {
    tick(RptCheckbox, v.RptCheckbox);
    tick(StdMtdCheckbox, v.StdMtdCheckbox);
    tick(UsrMtdCheckBox, v.UsrMtdCheckBox);
    tick(AllMtdCheckBox, v.AllMtdCheckBox);
    tick(SeqCheckBox, v.SeqCheckBox);
    tick(SeqRptCheckBox, v.SeqRptCheckBox);
    tick(ShowAllPcFilesCb, v.ShowAllPcFilesCb);
    tick(ShowCSVPcFilesCb, v.ShowCSVPcFilesCb);
    pcList->setEnabled(v.pcList);
    titList->setEnabled(v.titList);
    pcOpenDirBtn->setEnabled(v.pcOpenDirBtn);
    titOpenDirBtn->setEnabled(v.titOpenDirBtn);
    pcOpenDirBtn->setText(languageUiText(v.pcOpenDirCaption));
    titOpenDirBtn->setText(languageUiText(v.titOpenDirCaption));
    connectBtn->setEnabled(v.connectBtn);
    ViewBtn->setEnabled(v.ViewBtn);
    ExportBtn->setEnabled(v.ExportBtn);
    printBtn->setEnabled(v.printBtn);
    copyBtn->setEnabled(v.copyBtn);
    moveBtn->setEnabled(v.moveBtn);
    deleteBtn->setEnabled(v.deleteBtn);
    enable({mnuFileView, popOpen}, v.ViewBtn);
    enable({mnuFileExport, popExport}, v.ExportBtn);
    enable({mnuFilePrint, popPrint}, v.printBtn);
    enable({mnuFileCopy, popCopy}, v.copyBtn);
    enable({mnuFileMove, popMove}, v.moveBtn);
    enable({mnuFileDelete, popDelete}, v.deleteBtn);
    const QString caption = languageUiText(v.connectCaption);
    connectBtn->setText(caption);
    mnuConnect->setText(caption.isEmpty() ? languageUiText(kTextConnectMenu) : caption);
    highlightSource(v.source);
    showHiddenNote(hiddenNote_);
}

void MainWindow::highlightSource(int source) {
    const QColor plain = palette().color(QPalette::Window);
    const QColor base = palette().color(QPalette::Base);
    const bool titrator = source == 1;
    setBackground(titFrame, titrator ? kSourceColour : plain, QPalette::Window);
    setBackground(pcFrame, titrator ? plain : kSourceColour, QPalette::Window);
    setBackground(titList, titrator ? kSourceColour : base, QPalette::Base);
    setBackground(pcList, titrator ? base : kSourceColour, QPalette::Base);
    setBackground(titOpenDirBtn, titrator ? kSourceColour : plain, QPalette::Button);
    setBackground(pcOpenDirBtn, titrator ? plain : kSourceColour, QPalette::Button);
    // Commands act on the active pane only: the other one shows no selection.
    (titrator ? pcList : titList)->clearSelection();
}

std::vector<int> MainWindow::selectedRows(const PaneTree* list) const {
    return list->selectedLines();
}

// ---------------------------------------------------------------- lists

void MainWindow::listDoubleClicked(PaneTree* list) {
    if (!panes_->doubleClick(list == titList, selectedRows(list)))
        openSelectedFile();
}

void MainWindow::showListMenu(PaneTree* list, const QPoint& pos) {
    panes_->focusList(list == titList);
    popMenu->exec(list->viewport()->mapToGlobal(pos));
}

void MainWindow::ChangePathBtn_Click() {
    panes_->changePcFolder(browseForFolder_(langText(kTextChooseFolder), settings_.pcPath));
}

bool MainWindow::listEvent(PaneTree* list, QEvent* event) {
    const bool titrator = list == titList;
    if (event->type() == QEvent::FocusIn) {
        panes_->focusList(titrator);
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_A && key->modifiers() == Qt::ControlModifier) {
        list->selectAll();
        return true;
    }
    if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::ControlModifier) {
        showContextHelp(kHelpContext);
        return true;
    }
    if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Backspace) {
        panes_->backKey(titrator);
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        listDoubleClicked(list);
        return true;
    }
    return false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == statusBar_ && event->type() == QEvent::MouseButtonDblClick) {
        showDebugWindow();
        return true;
    }
    if (watched == centralWidget() && event->type() == QEvent::Resize) {
        layOut();
        return false;
    }
    if (panes_) {
        for (PaneTree* list : {pcList, titList}) {
            if (watched == list && listEvent(list, event))
                return true;
            if (watched == list->viewport() && event->type() == QEvent::MouseButtonPress)
                panes_->focusList(list == titList);
            if (watched == list->viewport() && dropEvent(list, event))
                return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// Widths and sort as config.ini remembers them for each pane.
void MainWindow::restoreColumns() {
    for (auto [list, section] :
         {std::pair{pcList, kPcColumnsSection}, {titList, kTitratorColumnsSection}}) {
        const PaneColumns c = loadPaneColumns(settings_.configPath, section);
        for (int i = 0; i < kPaneColumns; ++i)
            list->setColumnWidth(i, c.widths[static_cast<std::size_t>(i)]);
        list->sortByColumn(c.sortColumn, c.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    }
}

void MainWindow::storeColumns() {
    for (auto [list, section] :
         {std::pair{pcList, kPcColumnsSection}, {titList, kTitratorColumnsSection}}) {
        PaneColumns c;
        for (int i = 0; i < kPaneColumns; ++i)
            c.widths[static_cast<std::size_t>(i)] = list->columnWidth(i);
        c.sortColumn = list->paneModel().sortColumn();
        c.descending = list->paneModel().sortOrder() == Qt::DescendingOrder;
        storePaneColumns(settings_.configPath, section, c, host_);
    }
}

// ---------------------------------------------------------------- layout

void MainWindow::layOut() {
    if (!layout_)
        return;
    const TwipsScale scale = screenTwipsScale(*this);
    const QSize inner = centralWidget()->size();
    layout_->resizeForm(scale.pixelsToTwipsX(inner.width()), scale.pixelsToTwipsY(inner.height()));
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (width() < minimumWidth() || height() < minimumHeight())
        resizeTimer_->start(); // a window manager that ignored the minimum
}

// Once the mouse button is up, a window made too small goes back to the minimum.
void MainWindow::snapBackToMinimum() {
    if (QGuiApplication::mouseButtons() != Qt::NoButton) {
        resizeTimer_->start();
        return;
    }
    resize(std::max(width(), minimumWidth()), std::max(height(), minimumHeight()));
}
