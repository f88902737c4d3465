#include "programs/DeviceExtras.h"

#include <algorithm>

#include "device/Commands.h"
#include "device/DeviceTypes.h"
#include "programs/SleepTable.h"
#include "protocol/ProgramStore.h"

namespace tessaly::programs {
namespace {

constexpr std::array<int, 3> kSliderTop{127, 255, 255};

}  // namespace

uint8_t TriggerSettings::TriggerByte() const {
  return static_cast<uint8_t>((input_low ? kTriggerInputLow : 0) +
                              (output_low ? kTriggerOutputLow : 0) +
                              (enabled ? kTriggerEnabled : 0));
}

TriggerSettings ReadTrigger(const protocol::ProgramStore& store, int slot) {
  TriggerSettings settings;
  const protocol::ProgramData* data = store.Data(slot);
  if (data == nullptr) return settings;
  const uint8_t trigger = data->Tail(protocol::kTailTrigger).value_or(0);
  settings.input_low = (trigger & kTriggerInputLow) != 0;
  settings.output_low = (trigger & kTriggerOutputLow) != 0;
  settings.enabled = (trigger & kTriggerEnabled) != 0;
  settings.mirroring = data->Tail(protocol::kTailMirroring).value_or(0) != 0;
  return settings;
}

protocol::EditResult ConfirmTrigger(protocol::ProgramStore& store, int slot,
                                    const TriggerSettings& settings) {
  protocol::ProgramData* data = store.Data(slot);
  const auto type = store.DeviceType(slot);
  if (data == nullptr || !type) return protocol::EditResult::kRefused;
  const uint8_t trigger = settings.TriggerByte();
  const uint8_t mirroring = settings.mirroring ? 1 : 0;
  data->SetTail(protocol::kTailTrigger, trigger);
  data->SetTail(protocol::kTailMirroring, mirroring);
  store.NotifyDeviceSettingsChanged(slot);
  // Of family A only the RK-540 has the trigger lines.
  if (!device::IsFamilyB(*type) && *type != device::kTypeRk540) return protocol::EditResult::kDone;
  device::Params lines{};
  lines[5] = mirroring;
  lines[6] = data->Get(data->layout().line_out).value_or(0);
  lines[7] = trigger;
  if (store.Transmit(slot, device::kCmdLineOut, lines) != 0)
    return protocol::EditResult::kSendFailed;
  device::Params keep{};
  keep[1] = static_cast<uint8_t>(protocol::kTailTrigger);
  keep[4] = trigger;
  return store.Transmit(slot, device::kCmdWriteSetting, keep) == 0
             ? protocol::EditResult::kDone
             : protocol::EditResult::kSendFailed;
}

std::array<uint8_t, 3> SleepGroupFromSliders(const std::array<int, 3>& sliders) {
  std::array<uint8_t, 3> bytes{};
  for (size_t i = 0; i < 3; ++i) {
    bytes[i] = static_cast<uint8_t>(std::clamp(kSliderTop[i] - sliders[i], 0, kSliderTop[i]));
  }
  return bytes;
}

std::array<int, 3> SleepSlidersOf(const SleepTable& table, int group) {
  std::array<int, 3> sliders{};
  if (group < 0 || group >= kSleepGroupCount) return sliders;
  for (size_t i = 0; i < 3; ++i) {
    sliders[i] = kSliderTop[i] - table.bytes[static_cast<size_t>(3 * group) + i];
  }
  return sliders;
}

QString SleepTimeText(int32_t count) {
  // Hundredths of a millisecond, cut: count x 0.937.
  const int64_t hundredths = static_cast<int64_t>(count) * 937 / 1000;
  QString number = QString::number(hundredths / 100);
  const int64_t fraction = hundredths % 100;
  if (fraction != 0) {
    number += QLatin1Char('.') + QStringLiteral("%1").arg(fraction, 2, 10, QLatin1Char('0'));
    if (number.endsWith(QLatin1Char('0'))) number.chop(1);
  }
  return QStringLiteral("Time:") + number + QStringLiteral(" ms");
}

protocol::EditResult SendSleepGroup(protocol::ProgramStore& store, SleepTable& table, int slot,
                                    int group, const std::array<uint8_t, 3>& bytes) {
  if (group < 0 || group >= kSleepGroupCount) return protocol::EditResult::kRefused;
  device::Params p{};
  p[0] = static_cast<uint8_t>(group);
  for (size_t i = 0; i < 3; ++i) {
    table.bytes[static_cast<size_t>(3 * group) + i] = bytes[i];
    p[5 + i] = bytes[i];
  }
  return store.Transmit(slot, device::kCmdSleepGroup, p) == 0 ? protocol::EditResult::kDone
                                                              : protocol::EditResult::kSendFailed;
}

}  // namespace tessaly::programs
