#pragma once
#include <QDialog>

class QTextBrowser;

// The in-app help viewer: an HTML file, topic numbers as anchors.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // Opens the file; false when it cannot be read (the window then says so).
    bool openFile(const QString& path);
    void showTopic(int topic);

private:
    QTextBrowser* browser_;
};
