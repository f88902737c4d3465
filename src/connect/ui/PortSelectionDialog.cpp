#include "connect/ui/PortSelectionDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "connect/AddressRules.h"
#include "connect/PortSelection.h"
#include "connect/TcpConnect.h"

namespace tessaly::connect {
namespace {

constexpr std::array<const char*, 4> kDeviceCountCaptions = {
    "with 2 or max 10 device", "with 2 or max 20 device", "with one device",
    "with several devices"};

QLineEdit* OctetField(const QString& name, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(name);
  field->setMaxLength(4);
  field->setFixedWidth(44);
  return field;
}

}  // namespace

PortSelectionDialog::PortSelectionDialog(ConnectContext& context, QWidget* parent)
    : QDialog(parent),
      context_(context),
      tcp_(context.comm.tcp_slots()),
      serial_(context.comm.com_ports()) {
  setObjectName(QStringLiteral("portSelectionDialog"));
  setWindowTitle(QStringLiteral("Select Port"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  // The window always takes the size of what it shows: USB and TCP/IP show different frames, and
  // a switch back must not leave the larger one's empty room behind.
  layout->setSizeConstraint(QLayout::SetFixedSize);

  auto* transport = new QHBoxLayout;
  const std::array<const char*, 2> transport_captions = {"USB", "TCP/IP"};
  for (size_t i = 0; i < option2_.size(); ++i) {
    option2_[i] = new QRadioButton(QString::fromLatin1(transport_captions[i]), this);
    option2_[i]->setObjectName(QStringLiteral("transportOption_%1").arg(i));
    transport->addWidget(option2_[i]);
    connect(option2_[i], &QRadioButton::clicked, this,
            [this, i] { SetTransport(static_cast<int16_t>(i)); });
  }
  layout->addLayout(transport);

  frame2_ = new QGroupBox(QStringLiteral("ID Select"), this);
  frame2_->setObjectName(QStringLiteral("usbIdFrame"));
  combo2_ = new QComboBox(frame2_);
  combo2_->setObjectName(QStringLiteral("usbIdCombo"));
  (new QVBoxLayout(frame2_))->addWidget(combo2_);
  connect(combo2_, &QComboBox::activated, this,
          [this](int index) { context_.session.usb_id_choice = static_cast<int16_t>(index); });
  layout->addWidget(frame2_);

  frame3_ = new QGroupBox(QStringLiteral("COM Select"), this);
  frame3_->setObjectName(QStringLiteral("comPortFrame"));
  combo1_ = new QComboBox(frame3_);
  combo1_->setObjectName(QStringLiteral("comPortCombo"));
  combo1_->addItem(QStringLiteral("NONE"));
  for (int n = 1; n <= kComPortCount; ++n) combo1_->addItem(QStringLiteral("COM %1").arg(n));
  connect(combo1_, &QComboBox::activated, this, &PortSelectionDialog::OnComPortChosen);
  auto* search = new QPushButton(QStringLiteral("&Check"), frame3_);
  search->setObjectName(QStringLiteral("comSearchButton"));
  connect(search, &QPushButton::clicked, this, &PortSelectionDialog::SearchCom);
  auto* com_row = new QHBoxLayout(frame3_);
  com_row->addWidget(combo1_);
  com_row->addWidget(search);
  layout->addWidget(frame3_);

  frame1_ = new QGroupBox(QStringLiteral("Connection"), this);
  frame1_->setObjectName(QStringLiteral("deviceCountFrame"));
  auto* count_layout = new QVBoxLayout(frame1_);
  for (size_t i = 0; i < option1_.size(); ++i) {
    option1_[i] = new QRadioButton(QString::fromLatin1(kDeviceCountCaptions[i]), frame1_);
    option1_[i]->setObjectName(QStringLiteral("deviceCountOption_%1").arg(i));
    count_layout->addWidget(option1_[i]);
    connect(option1_[i], &QRadioButton::clicked, this,
            [this, i] { SetAddressFrame(static_cast<int>(i)); });
  }
  layout->addWidget(frame1_);

  const std::array<const char*, 2> ip_captions = {"IP Address", "Scan the following IP range:"};
  for (size_t f = 0; f < frame_ip_.size(); ++f) {
    frame_ip_[f] = new QGroupBox(QString::fromLatin1(ip_captions[f]), this);
    frame_ip_[f]->setObjectName(QStringLiteral("addressFrame_%1").arg(f));
    label_host_[f] = new QLabel(frame_ip_[f]);
    label_host_[f]->setObjectName(QStringLiteral("hostAddressLabel_%1").arg(f));
    layout->addWidget(frame_ip_[f]);
  }
  auto* single = new QGridLayout(frame_ip_[0]);
  for (size_t i = 0; i < text_sng_ip_.size(); ++i) {
    text_sng_ip_[i] = OctetField(QStringLiteral("singleAddressEdit_%1").arg(i), frame_ip_[0]);
    single->addWidget(text_sng_ip_[i], 0, static_cast<int>(i));
  }
  single->addWidget(label_host_[0], 1, 0, 1, 4);

  auto* range = new QGridLayout(frame_ip_[1]);
  range->addWidget(new QLabel(QStringLiteral("From:"), frame_ip_[1]), 0, 0);
  range->addWidget(new QLabel(QStringLiteral("To:"), frame_ip_[1]), 1, 0);
  for (size_t i = 0; i < text_several_ip_.size(); ++i) {
    text_several_ip_[i] = OctetField(QStringLiteral("rangeAddressEdit_%1").arg(i), frame_ip_[1]);
    range->addWidget(text_several_ip_[i], static_cast<int>(i / 4), static_cast<int>(i % 4) + 1);
    const int item = static_cast<int>(i);
    connect(text_several_ip_[i], &QLineEdit::textChanged, this,
            [this, item](const QString& text) { RangeFieldEdited(item, text); });
  }
  for (const int item : {3, 7}) {
    connect(text_several_ip_[static_cast<size_t>(item)], &QLineEdit::editingFinished, this,
            [this, item] { RangeLastOctetDone(item); });
  }
  range->addWidget(label_host_[1], 2, 0, 1, 5);

  auto* buttons = new QDialogButtonBox(this);
  buttons->setObjectName(QStringLiteral("buttonBox"));
  QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
  ok->setObjectName(QStringLiteral("okButton"));
  ok->setDefault(true);
  buttons->addButton(QStringLiteral("E&xit"), QDialogButtonBox::RejectRole)
      ->setObjectName(QStringLiteral("exitButton"));
  connect(buttons, &QDialogButtonBox::accepted, this, &PortSelectionDialog::Accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &PortSelectionDialog::Exit);
  layout->addWidget(buttons);
}

bool PortSelectionDialog::Load() {
  ConnectSession& session = context_.session;
  comm::CommState& state = context_.comm.state();
  // Closing the window any other way than OK is a cancel.
  session.port_selection_cancelled = true;
  session.LoadConfig();
  if (tcp_.Initialise(comm::kSlotCount) != 0) {
    context_.comm.messenger().Show(
        {device::MessageIcon::kCritical, QString::fromLatin1(kTcpInitFailedTitle),
         QString::fromLatin1(kTcpInitFailedText), device::MessageButtons::kOk});
    return false;
  }
  const QStringList local = tcp_.ListLocalAddresses();
  const QString host = QStringLiteral("Host Address: ") + local.value(0);
  for (QLabel* label : label_host_) label->setText(host);

  const InitConfig& record = session.config;
  for (size_t i = 0; i < 4; ++i) {
    text_sng_ip_[i]->setText(QString::number(record.single[i]));
    text_several_ip_[i]->setText(QString::number(record.range_start[i]));
    text_several_ip_[i + 4]->setText(QString::number(record.range_end[i]));
  }
  // The record's own end prefix wins over the copy the start's fields made while loading.
  for (size_t i = 0; i < 4; ++i)
    text_several_ip_[i + 4]->setText(QString::number(record.range_end[i]));

  combo2_->clear();
  for (int n = 0; n <= comm::kLastSlot; ++n) combo2_->addItem(QString::number(n), n);

  option1_[0]->setChecked(true);
  SetAddressFrame(0);
  option2_[0]->setChecked(true);
  state.com_port = record.com_port;
  combo1_->setCurrentIndex(
      record.com_port >= 0 && record.com_port <= kComPortCount ? record.com_port : 0);
  const int16_t mode = record.connection_mode != 0 ? comm::kLinkTcp : comm::kLinkUsb;
  option2_[static_cast<size_t>(mode)]->setChecked(true);
  SetTransport(mode);
  return true;
}

void PortSelectionDialog::SetTransport(int16_t mode) {
  context_.comm.state().connection_mode = mode;
  const bool usb = mode == comm::kLinkUsb;
  frame2_->setVisible(usb);
  frame3_->setVisible(usb);
  frame1_->setVisible(!usb);
  const bool single = option1_[0]->isChecked();
  frame_ip_[0]->setVisible(!usb && single);
  frame_ip_[1]->setVisible(!usb && !single);
}

void PortSelectionDialog::SetAddressFrame(int option) {
  const bool tcp = context_.comm.state().connection_mode == comm::kLinkTcp;
  frame_ip_[0]->setVisible(tcp && option == 0);
  frame_ip_[1]->setVisible(tcp && option != 0);
}

void PortSelectionDialog::OnComPortChosen(int index) {
  // There is no port 0 to use.
  if (index == 0) {
    index = 1;
    combo1_->setCurrentIndex(index);
  }
  context_.comm.state().com_port = static_cast<int16_t>(index);
}

void PortSelectionDialog::RangeFieldEdited(int item, const QString& text) {
  const RangeFieldEdit edit = RangeFieldRule(item, text);
  QLineEdit* field = text_several_ip_[static_cast<size_t>(item)];
  if (edit.text != text) field->setText(edit.text);
  if (edit.copy_to >= 0) text_several_ip_[static_cast<size_t>(edit.copy_to)]->setText(edit.text);
}

void PortSelectionDialog::RangeLastOctetDone(int item) {
  const auto value =
      OrderLastOctets(item, text_several_ip_[3]->text(), text_several_ip_[7]->text());
  if (!value) return;
  text_several_ip_[item == 3 ? 7 : 3]->setText(QString::number(*value));
}

void PortSelectionDialog::SearchCom() {
  comm::CommState& state = context_.comm.state();
  const ComSearchResult result = SearchComPorts(serial_, context_.comm.messenger(), state.com_port);
  combo1_->setCurrentIndex(result.found.isEmpty() ? 0 : state.com_port);
}

void PortSelectionDialog::Accept() {
  PortChoice choice;
  choice.connection_mode = option2_[0]->isChecked() ? comm::kLinkUsb : comm::kLinkTcp;
  for (size_t i = 0; i < option1_.size(); ++i) {
    if (option1_[i]->isChecked()) choice.device_count_option = static_cast<int>(i);
  }
  choice.com_index = combo1_->currentIndex();
  choice.usb_id = combo2_->currentIndex();
  for (size_t i = 0; i < 4; ++i) choice.single[i] = text_sng_ip_[i]->text();
  for (size_t i = 0; i < 8; ++i) choice.several[i] = text_several_ip_[i]->text();
  if (AcceptPortSelection(choice, context_.session, context_.comm.state(),
                          context_.comm.messenger()) == AcceptResult::kBadOctet) {
    return;
  }
  accept();
}

void PortSelectionDialog::Exit() {
  context_.session.port_selection_cancelled = true;
  reject();
}

}  // namespace tessaly::connect
