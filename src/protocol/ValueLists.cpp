#include "protocol/ValueLists.h"

#include <span>

#include "device/DeviceTypes.h"

namespace tessaly::protocol {

namespace {

constexpr std::array<const char*, kEqTypeCount> kEqTypeNames = {"Bell", "HiShQ", "LoShQ",
                                                                "HP-Q", "LP-Q",  "Notch"};

constexpr std::array<const char*, kXoverSlopeCount> kXoverSlopeNames = {
    "Bypass",       "- 6 dB/oct BW", "-12dB/oct BW", "-12dB/oct LR", "-12dB/oct BS",
    "-18dB/oct BW", "-24dB/oct BW",  "-24dB/oct LR", "-24dB/oct BS"};

constexpr std::array<const char*, kSpeakerDriveCount> kSpeakerDriveNames = {"16 Ohm - 100V",
                                                                            "4-8 Ohm - 70V"};

constexpr std::array<const char*, kOutputSourceCount> kOutputSourceNames = {"Input L", "Input R",
                                                                            "Input L+R"};

constexpr std::array<const char*, 2> kDelayUnitNames = {" ms", " m"};

constexpr std::array<const char*, kChannelCountA> kChannelNamesA = {"InL", "InR", "Left", "Right",
                                                                    "Sub"};
constexpr std::array<const char*, kChannelCountB> kChannelNamesB = {"In1L", "In1R",  "In2L", "In2R",
                                                                    "Left", "Right", "Sub"};

QString NameAt(std::span<const char* const> names, int index) {
  if (index < 0 || static_cast<size_t>(index) >= names.size()) {
    return {};
  }
  return QString::fromLatin1(names[index]);
}

}  // namespace

int QClassOfType(int band_type) {
  if (band_type == kEqTypeBell) {
    return kQClassBell;
  }
  if (band_type == kEqTypeNotch) {
    return kQClassNotch;
  }
  return kQClassOther;
}

QString EqTypeName(int band_type) { return NameAt(kEqTypeNames, band_type); }
QString XoverSlopeName(int slope) { return NameAt(kXoverSlopeNames, slope); }
QString SpeakerDriveName(int drive) { return NameAt(kSpeakerDriveNames, drive); }
QString OutputSourceName(int source) { return NameAt(kOutputSourceNames, source); }
QString DelayUnitName(int unit) { return NameAt(kDelayUnitNames, unit); }

QString DelayCaption(int unit) {
  const QString name = DelayUnitName(unit);
  if (name.isEmpty()) {
    return {};
  }
  return QStringLiteral("Delay [") + name + QStringLiteral(" ]");
}

QString ChannelName(int device_type, int channel) {
  return device::IsFamilyB(device_type) ? NameAt(kChannelNamesB, channel)
                                        : NameAt(kChannelNamesA, channel);
}

}  // namespace tessaly::protocol
