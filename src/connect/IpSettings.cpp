#include "connect/IpSettings.h"

#include "connect/AddressRules.h"
#include "device/Commands.h"

namespace tessaly::connect {

IpSaveResult SaveDeviceIp(comm::Comm& comm, protocol::SlotState& slot_state, int slot,
                          const std::array<QString, 4>& octet_texts) {
  std::array<uint8_t, 4> octets{};
  for (size_t i = 0; i < octets.size(); ++i) {
    const auto value = OctetValue(octet_texts[i]);
    if (!value || *value < 0 || *value > 255) return IpSaveResult::kBadOctet;
    octets[i] = static_cast<uint8_t>(*value);
  }
  const device::MessageAnswer answer =
      comm.messenger().Show({device::MessageIcon::kQuestion, QString::fromLatin1(kIpConfirmTitle),
                             QString::fromLatin1(kIpConfirmText), device::MessageButtons::kYesNo});
  if (answer != device::MessageAnswer::kYes) return IpSaveResult::kDeclined;

  slot_state.ip = octets;
  const comm::Params params{octets[0], octets[1], octets[2], octets[3], 0, 0, 0, 0};
  if (comm.Transmit(slot, device::kCmdSetIp, params) != 0) {
    comm.messenger().Show({device::MessageIcon::kCritical, QString::fromLatin1(kIpFailedTitle),
                           QString::fromLatin1(kIpFailedText), device::MessageButtons::kOk});
    return IpSaveResult::kFailed;
  }
  return IpSaveResult::kSaved;
}

}  // namespace tessaly::connect
