#pragma once
// The Debug Window: the sent and received trace lines, and the message part
// and character codes of the selected line of each list.
#include "link/Trace.h"

#include <QWidget>
#include <string>

class QLabel;
class QListWidget;

class DebugWindow : public QWidget {
public:
    explicit DebugWindow(QWidget* parent = nullptr);

    // Feeds this window from the trace from now on.
    void attach(Trace& trace);
    void addLine(Trace::Direction direction, const std::string& line);
    void clear();

    QListWidget* sendList() const { return sendList_; }
    QListWidget* receiveList() const { return receiveList_; }
    QLabel* sendLabel() const { return sendLabel_; }
    QLabel* sendHexLabel() const { return sendHexLabel_; }
    QLabel* recvLabel() const { return recvLabel_; }
    QLabel* recvHexLabel() const { return recvHexLabel_; }

private:
    void showSelected(QListWidget* list, QLabel* text, QLabel* codes);

    QListWidget* sendList_;
    QListWidget* receiveList_;
    QLabel* sendLabel_;
    QLabel* sendHexLabel_;
    QLabel* recvLabel_;
    QLabel* recvHexLabel_;
};
