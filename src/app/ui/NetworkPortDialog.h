#pragma once
// Asks for a network port: the form (raw TCP or RFC 2217), the host and the TCP port.
#include <QDialog>
#include <string>

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

class NetworkPortDialog : public QDialog {
public:
    static constexpr int kDefaultTcpPort = 2000;
    // "Network port": the dialog's title, and the title of what is said about the port.
    static constexpr int kTextTitle = 42;

    explicit NetworkPortDialog(QWidget* parent = nullptr);
    // tcp://HOST:PORT or rfc2217://HOST:PORT; "" while the host is not usable.
    std::string address() const;

private:
    QComboBox* form_;
    QLineEdit* host_;
    QSpinBox* port_;
    QPushButton* ok_;
};
