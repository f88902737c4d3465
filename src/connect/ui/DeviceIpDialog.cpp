#include "connect/ui/DeviceIpDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "connect/AddressRules.h"
#include "connect/IpSettings.h"
#include "connect/PortSelection.h"

namespace tessaly::connect {
namespace {

// Shown as designed; the device is never asked for them and they are never sent.
constexpr std::array<int, 4> kNetMask = {255, 255, 255, 0};
constexpr std::array<int, 4> kGateway = {192, 168, 0, 1};

template <typename Widget>
void AddRow(QGridLayout* grid, int row, const char* caption, const QString& prefix,
            const std::array<int, 4>& values, std::array<Widget*, 4>* out, QWidget* parent) {
  grid->addWidget(new QLabel(QString::fromLatin1(caption), parent), row, 0);
  for (size_t i = 0; i < 4; ++i) {
    auto* widget = new Widget(QString::number(values[i]), parent);
    widget->setObjectName(prefix + QStringLiteral("_%1").arg(i));
    grid->addWidget(widget, row, static_cast<int>(i) + 1);
    if (out != nullptr) (*out)[i] = widget;
  }
}

}  // namespace

DeviceIpDialog::DeviceIpDialog(comm::Comm& comm, protocol::SlotState& slot_state, int slot,
                               QWidget* parent)
    : QDialog(parent), comm_(comm), slot_state_(slot_state), slot_(slot), settle_ms_(kIpSettleMs) {
  setObjectName(QStringLiteral("deviceIpDialog"));
  setWindowTitle(QStringLiteral("IP Settings (only USB mode)"));
  setModal(true);
  std::array<int, 4> current{};
  for (size_t i = 0; i < 4; ++i) current[i] = slot_state_.ip[i];

  auto* layout = new QVBoxLayout(this);
  auto* now = new QGroupBox(QStringLiteral("Current IP settings"), this);
  auto* now_grid = new QGridLayout(now);
  AddRow<QLabel>(now_grid, 0, "IP address:", QStringLiteral("currentIpLabel"), current, &label_ip_,
                 now);
  AddRow<QLabel>(now_grid, 1, "Subnet Mask:", QStringLiteral("currentNetMaskLabel"), kNetMask,
                 nullptr, now);
  AddRow<QLabel>(now_grid, 2, "Gateway:", QStringLiteral("currentGatewayLabel"), kGateway, nullptr,
                 now);
  layout->addWidget(now);

  auto* next = new QGroupBox(QStringLiteral("New IP settings"), this);
  auto* next_grid = new QGridLayout(next);
  AddRow<QLineEdit>(next_grid, 0, "IP address:", QStringLiteral("newIpEdit"), current,
                    &text_ip_new_, next);
  AddRow<QLineEdit>(next_grid, 1, "Subnet Mask:", QStringLiteral("newNetMaskEdit"), kNetMask,
                    nullptr, next);
  AddRow<QLineEdit>(next_grid, 2, "Gateway:", QStringLiteral("newGatewayEdit"), kGateway, nullptr,
                    next);
  layout->addWidget(next);
  for (size_t i = 0; i < text_ip_new_.size(); ++i) {
    QLineEdit* field = text_ip_new_[i];
    const int index = static_cast<int>(i);
    connect(field, &QLineEdit::textChanged, this, [field, index](const QString& text) {
      const QString shown = NewIpOctetRule(index, text);
      if (shown != text) field->setText(shown);
    });
  }

  auto* buttons = new QDialogButtonBox(this);
  buttons->setObjectName(QStringLiteral("buttonBox"));
  QPushButton* save = buttons->addButton(QStringLiteral("&Save"), QDialogButtonBox::AcceptRole);
  save->setObjectName(QStringLiteral("saveButton"));
  save->setDefault(true);
  buttons->addButton(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
  connect(buttons, &QDialogButtonBox::accepted, this, &DeviceIpDialog::Save);
  connect(buttons, &QDialogButtonBox::rejected, this, &DeviceIpDialog::reject);
  layout->addWidget(buttons);
  text_ip_new_[0]->setFocus();
}

void DeviceIpDialog::Save() {
  std::array<QString, 4> texts;
  for (size_t i = 0; i < 4; ++i) texts[i] = text_ip_new_[i]->text();
  setCursor(Qt::BusyCursor);
  const IpSaveResult result = SaveDeviceIp(comm_, slot_state_, slot_, texts);
  switch (result) {
    case IpSaveResult::kDeclined:
      unsetCursor();
      return;
    case IpSaveResult::kBadOctet:
      unsetCursor();
      comm_.messenger().Show({device::MessageIcon::kExclamation,
                              QString::fromLatin1(kBadOctetTitle),
                              QString::fromLatin1(kBadOctetText), device::MessageButtons::kOk});
      return;
    case IpSaveResult::kFailed:
      unsetCursor();
      reject();
      return;
    case IpSaveResult::kSaved:
      // The device needs a moment to take its new address; the window waits without input.
      setEnabled(false);
      QTimer::singleShot(settle_ms_, this, [this] {
        unsetCursor();
        accept();
      });
      return;
  }
}

}  // namespace tessaly::connect
