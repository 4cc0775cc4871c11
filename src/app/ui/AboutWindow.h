#pragma once
#include <QDialog>

// The About window: version, developer, and the About text of the chosen language.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    AboutWindow(const QString& version, const QString& aboutText, QWidget* parent = nullptr);
};
