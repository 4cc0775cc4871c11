#include "link/ui/DebugWindow.h"

#include "core/Encoding.h"
#include "core/ui/GuiHost.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace {

// The raw bytes of a line ride along with its item: the codes label shows
// them, and the 8-bit text cannot be rebuilt from the displayed one.
constexpr int kBytesRole = Qt::UserRole;

constexpr int kTextCaption = 168;
constexpr int kTextClear = 169;
constexpr int kTextSent = 170;
constexpr int kTextReceived = 171;

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text = {}) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QListWidget* makeList(QWidget* parent, const char* name) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
    return list;
}

// Control characters (the CR of a command line) shown as visible symbols.
QString displayText(const std::string& bytes) {
    QString text = toQt(bytes);
    for (QChar& c : text) {
        if (c.unicode() < 0x20)
            c = QChar(0x2400 + c.unicode());
    }
    return text;
}

} // namespace

DebugWindow::DebugWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), sendList_(makeList(this, "SendList")),
      receiveList_(makeList(this, "ReceiveList")), sendLabel_(makeLabel(this, "SendLabel")),
      sendHexLabel_(makeLabel(this, "SendHexLabel")), recvLabel_(makeLabel(this, "RecvLabel")),
      recvHexLabel_(makeLabel(this, "RecvHexLabel")) {
    setObjectName("debugw");
    setWindowTitle(languageUiText(kTextCaption));
    auto* clearButton = new QPushButton(languageUiText(kTextClear), this);
    clearButton->setObjectName("ClearCmd");

    auto* grid = new QGridLayout(this);
    grid->addWidget(makeLabel(this, "Label1", languageUiText(kTextSent)), 0, 0);
    grid->addWidget(makeLabel(this, "Label2", languageUiText(kTextReceived)), 0, 1);
    grid->addWidget(sendList_, 1, 0);
    grid->addWidget(receiveList_, 1, 1);
    grid->addWidget(sendLabel_, 2, 0);
    grid->addWidget(recvLabel_, 2, 1);
    grid->addWidget(sendHexLabel_, 3, 0);
    grid->addWidget(recvHexLabel_, 3, 1);
    grid->addWidget(clearButton, 4, 0, 1, 2, Qt::AlignRight);
    resize(760, 420);

    connect(clearButton, &QPushButton::clicked, this, [this] { clear(); });
    connect(sendList_, &QListWidget::currentRowChanged, this,
            [this] { showSelected(sendList_, sendLabel_, sendHexLabel_); });
    connect(receiveList_, &QListWidget::currentRowChanged, this,
            [this] { showSelected(receiveList_, recvLabel_, recvHexLabel_); });
}

void DebugWindow::attach(Trace& trace) {
    trace.setListener(
        [this](Trace::Direction direction, const std::string& line) { addLine(direction, line); });
}

void DebugWindow::addLine(Trace::Direction direction, const std::string& line) {
    QListWidget* list = direction == Trace::Direction::Sent ? sendList_ : receiveList_;
    auto* item = new QListWidgetItem(displayText(line), list);
    item->setData(kBytesRole, QByteArray(line.data(), static_cast<qsizetype>(line.size())));
    list->setCurrentItem(item);
    list->scrollToItem(item);
}

void DebugWindow::clear() {
    sendList_->clear();
    receiveList_->clear();
    for (QLabel* label : {sendLabel_, sendHexLabel_, recvLabel_, recvHexLabel_})
        label->clear();
}

void DebugWindow::showSelected(QListWidget* list, QLabel* text, QLabel* codes) {
    const QListWidgetItem* item = list->currentItem();
    if (!item) {
        text->clear();
        codes->clear();
        return;
    }
    const QByteArray raw = item->data(kBytesRole).toByteArray();
    const std::string message = traceMessagePart(std::string(raw.constData(), raw.size()));
    text->setText(displayText(message));
    codes->setText(QString::fromStdString(characterCodes(message)));
}
