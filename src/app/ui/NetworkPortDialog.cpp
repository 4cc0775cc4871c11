#include "app/ui/NetworkPortDialog.h"

#include "core/ui/GuiHost.h"
#include "link/PortNames.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <limits>

namespace {
constexpr int kTextForm = 43;
constexpr int kTextRawTcp = 44;
constexpr int kTextRfc2217 = 45;
constexpr int kTextHost = 46;
constexpr int kTextPort = 47;
} // namespace

NetworkPortDialog::NetworkPortDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("networkPort");
    setWindowTitle(languageUiText(kTextTitle));
    form_ = new QComboBox(this);
    form_->setObjectName("netFormCb");
    form_->addItem(languageUiText(kTextRawTcp), static_cast<int>(PortKind::RawTcp));
    form_->addItem(languageUiText(kTextRfc2217), static_cast<int>(PortKind::Rfc2217));
    host_ = new QLineEdit(this);
    host_->setObjectName("netHostEd");
    port_ = new QSpinBox(this);
    port_->setObjectName("netPortSb");
    port_->setRange(1, std::numeric_limits<quint16>::max());
    port_->setValue(kDefaultTcpPort);

    auto* layout = new QFormLayout(this);
    for (auto [text, field] :
         {std::pair<int, QWidget*>{kTextForm, form_}, {kTextHost, host_}, {kTextPort, port_}}) {
        auto* label = new QLabel(languageUiText(text), this);
        label->setBuddy(field);
        layout->addRow(label, field);
    }
    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(languageUiText(204), QDialogButtonBox::AcceptRole);
    ok_->setObjectName("netOk");
    ok_->setDefault(true);
    buttons->addButton(languageUiText(224), QDialogButtonBox::RejectRole);
    layout->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ok_->setEnabled(false);
    connect(host_, &QLineEdit::textChanged, this, [this] { ok_->setEnabled(!address().empty()); });
}

std::string NetworkPortDialog::address() const {
    std::string host = host_->text().trimmed().toStdString();
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2); // an IPv6 address as written in a URL
    if (host.empty())
        return {};
    const std::string a =
        networkAddress(static_cast<PortKind>(form_->currentData().toInt()), host, port_->value());
    return parsePortAddress(a).valid ? a : std::string();
}
