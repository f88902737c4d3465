#include "model/ParameterDescriptor.h"
#include "protocol/ValueLists.h"

namespace tessaly::model {

const ParameterDescriptor* FindParameter(QStringView name) {
  for (const ParameterDescriptor& d : Parameters()) {
    if (d.name.compare(name, Qt::CaseInsensitive) == 0) return &d;
  }
  return nullptr;
}

std::optional<int> ResolveChannel(QStringView text, int device_type) {
  const protocol::Layout& layout = protocol::LayoutOfType(device_type);
  bool is_number = false;
  const int number = text.toInt(&is_number, 10);
  if (is_number) return layout.IsChannel(number) ? std::optional<int>(number) : std::nullopt;
  for (int ch = 0; ch < layout.channel_count; ++ch) {
    if (protocol::ChannelName(device_type, ch).compare(text, Qt::CaseInsensitive) == 0) return ch;
  }
  return std::nullopt;
}

namespace {

// Mixer inputs by channel name or by number 1 to 4.
std::optional<int> MixerInput(const QString& text) {
  bool is_number = false;
  const int number = text.toInt(&is_number, 10);
  if (is_number) {
    if (number >= 1 && number <= protocol::kMixerSends) return number - 1;
    return std::nullopt;
  }
  for (int input = 0; input < protocol::kMixerSends; ++input) {
    if (protocol::ChannelName(3, input).compare(text, Qt::CaseInsensitive) == 0) return input;
  }
  return std::nullopt;
}

}  // namespace

std::optional<ResolvedParameter> ResolveParameter(QStringView typed, int device_type,
                                                  QString* error) {
  QStringList parts = typed.toString().toLower().split(QLatin1Char('.'));
  int element = -1;
  if (parts.size() == 3 && parts[0] == QLatin1String("mix")) {
    const auto input = MixerInput(parts[1]);
    if (!input) {
      *error = QStringLiteral("\"%1\" is not a mixer input (In1L, In1R, In2L, In2R or 1 to 4).")
                   .arg(parts[1]);
      return std::nullopt;
    }
    element = *input;
    parts[1] = QStringLiteral("IN");
  } else if (parts.size() == 3) {
    bool is_number = false;
    const int number = parts[1].toInt(&is_number, 10);
    if (!is_number || number < 1) {
      *error = QStringLiteral("\"%1\" is not a band or source number from 1.").arg(parts[1]);
      return std::nullopt;
    }
    element = number - 1;
    parts[1] = QStringLiteral("N");
  }
  const ParameterDescriptor* d = FindParameter(parts.join(QLatin1Char('.')));
  if (!d) {
    *error = QStringLiteral("\"%1\" is not a parameter; see tessaly-cli help set.")
                 .arg(typed.toString());
    return std::nullopt;
  }
  const int family = FamilyBit(protocol::FamilyOf(device_type));
  if ((d->families & family) == 0) {
    *error =
        QStringLiteral("A device of family %1 has no parameter \"%2\".")
            .arg(family == kFamilyB ? QStringLiteral("B") : QStringLiteral("A"), typed.toString());
    return std::nullopt;
  }
  return ResolvedParameter{d, element};
}

}  // namespace tessaly::model
