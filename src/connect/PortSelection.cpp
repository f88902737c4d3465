#include "connect/PortSelection.h"

#include "connect/AddressRules.h"

namespace tessaly::connect {

ComSearchResult SearchComPorts(comm::SerialLink& link, device::Messenger& messenger,
                               int16_t& com_port) {
  if (link.IsOpen()) link.Close();
  ComSearchResult result;
  for (int n = 1; n <= kComPortCount; ++n) {
    // One serial object holds one port, so each open gives up the port found before it; the
    // search only needs to know which ports open, and the highest found is reopened on connect.
    if (link.Open(QStringLiteral("COM%1").arg(n), kSearchBaud) != 0) continue;
    result.found << n;
    result.list_text += QStringLiteral("COM%1\n").arg(n);
  }
  if (result.found.isEmpty()) {
    messenger.Show({device::MessageIcon::kExclamation, QString::fromLatin1(kSearchComTitle),
                    QString::fromLatin1(kComNotFoundText), device::MessageButtons::kOk});
    return result;
  }
  com_port = static_cast<int16_t>(result.found.last());
  messenger.Show({device::MessageIcon::kInformation, QString::fromLatin1(kSearchComTitle),
                  QString::fromLatin1(kComFoundText) + QStringLiteral("\n") + result.list_text,
                  device::MessageButtons::kOk});
  return result;
}

AcceptResult AcceptPortSelection(const PortChoice& choice, ConnectSession& session,
                                 comm::CommState& state, device::Messenger& messenger) {
  InitConfig record = session.config;
  bool all_numbers = true;
  const auto take = [&](const QString& text, int16_t& field) {
    const auto value = OctetValue(text);
    if (value) {
      field = *value;
    } else {
      all_numbers = false;
    }
  };
  for (size_t i = 0; i < 4; ++i) {
    take(choice.single[i], record.single[i]);
    take(choice.several[i], record.range_start[i]);
    take(choice.several[i + 4], record.range_end[i]);
  }
  if (!all_numbers) {
    messenger.Show({device::MessageIcon::kExclamation, QString::fromLatin1(kBadOctetTitle),
                    QString::fromLatin1(kBadOctetText), device::MessageButtons::kOk});
    return AcceptResult::kBadOctet;
  }

  session.port_selection_cancelled = false;
  state.com_port = static_cast<int16_t>(choice.com_index);
  session.usb_id_choice = static_cast<int16_t>(choice.usb_id);
  record.com_port = state.com_port;
  record.connection_mode = choice.connection_mode;
  session.config = record;
  state.connection_mode =
      choice.connection_mode == comm::kLinkUsb ? comm::kLinkUsb : comm::kLinkTcp;
  session.several_addresses = choice.device_count_option != 0;
  // The choices hold for this run even when the folder is read-only.
  return SaveInitConfig(session.ConfigPath(), record) ? AcceptResult::kSaved
                                                      : AcceptResult::kWriteFailed;
}

}  // namespace tessaly::connect
