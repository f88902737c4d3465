#include "protocol/FamilyAOperations.h"

#include "device/Commands.h"

namespace tessaly::protocol {
namespace {

constexpr int kMaxOutputSource = 2;
constexpr int kMaxInputSource = 2;
constexpr int kMaxAnalogMode = 1;
constexpr int kMaxDigitalMode = 1;
constexpr uint8_t kSourceDigital = 1;

}  // namespace

EditResult FamilyAOperations::SendOutputSource(int slot, int ch, int source) {
  auto t = Resolve(slot);
  if (!t || !t->layout.IsOutput(ch) || source < 0 || source > kMaxOutputSource) {
    return EditResult::kRefused;
  }
  const int offset = t->layout.route_offset[ch - t->layout.first_output];
  t->data.Set(offset, static_cast<uint8_t>(source));
  device::Params p{};
  p[0] = static_cast<uint8_t>(ch);
  p[7] = t->data.Get(offset).value_or(0);
  const EditResult result = Transmit(slot, device::kCmdOutputSource, p);
  store_.NotifyChannelChanged(slot, ch);
  return result;
}

EditResult FamilyAOperations::SendInputMode(int slot, InputModeField field, int index) {
  auto t = Resolve(slot);
  if (!t || index < 0) return EditResult::kRefused;
  const Layout& layout = t->layout;
  switch (field) {
    case InputModeField::kSource:
      if (index > kMaxInputSource) return EditResult::kRefused;
      t->data.Set(layout.input_source, static_cast<uint8_t>(index));
      break;
    case InputModeField::kAnalogMode:
      if (index > kMaxAnalogMode) return EditResult::kRefused;
      t->data.Set(layout.analog_mode, static_cast<uint8_t>(index));
      break;
    case InputModeField::kDigitalMode:
      // The coaxial/optical choice means nothing while another input is selected.
      if (index > kMaxDigitalMode || t->data.Get(layout.input_source) != kSourceDigital) {
        return EditResult::kRefused;
      }
      t->data.Set(layout.digital_mode, static_cast<uint8_t>(index));
      break;
  }
  device::Params p{};
  p[5] = t->data.Get(layout.analog_mode).value_or(0);
  p[6] = t->data.Get(layout.digital_mode).value_or(0);
  p[7] = t->data.Get(layout.input_source).value_or(0);
  const EditResult result = Transmit(slot, device::kCmdInputMode, p);
  store_.NotifyDeviceSettingsChanged(slot);
  return result;
}

}  // namespace tessaly::protocol
