#include "app/ui/AboutWindow.h"

#include "core/Language.h"
#include "core/ui/GuiHost.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

AboutWindow::AboutWindow(const QString& version, const QString& aboutText, QWidget* parent)
    : QDialog(parent) {
    setObjectName("aboutWindow");
    setWindowTitle(uiText(langText(405)));
    auto* icon = new QLabel(this);
    icon->setPixmap(windowIcon().pixmap(48, 48));
    auto* title = new QLabel("<b style='font-size:16pt'>VELTRAN</b>", this);
    auto* versionLabel = new QLabel(uiText(langText(6)), this);
    auto* versionLine = new QLabel(uiText(langText(613)) + " " + version, this);
    auto* developer = new QLabel(uiText(langText(612)), this);
    versionLabel->setObjectName("versionLabel");
    versionLine->setObjectName("versionLine");
    developer->setObjectName("developerLabel");
    auto* textBox = new QPlainTextEdit(aboutText, this);
    textBox->setObjectName("aboutText");
    textBox->setReadOnly(true);
    auto* close = new QPushButton(uiText(langText(204)), this);
    close->setObjectName("closeBtn");
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    auto* heading = new QHBoxLayout;
    heading->addWidget(icon);
    heading->addWidget(title, 1);
    layout->addLayout(heading);
    layout->addWidget(versionLabel);
    layout->addWidget(versionLine);
    layout->addWidget(developer);
    layout->addWidget(textBox, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    resize(460, 360);
}
