#include "cli/Targets.h"

#include <QStringList>

#include "model/ParameterDescriptor.h"
#include "protocol/FamilyBOperations.h"
#include "protocol/Offsets.h"
#include "protocol/ValueLists.h"

namespace tessaly::cli {
namespace {

bool IsDeviceWord(const QString& text) {
  return text.compare(QLatin1String("device"), Qt::CaseInsensitive) == 0 ||
         text == QLatin1String("-");
}

bool InputsOnly(model::Scope scope) {
  return scope == model::Scope::kInput || scope == model::Scope::kRoutingPoint;
}

bool OutputsOnly(model::Scope scope) {
  return scope == model::Scope::kOutput || scope == model::Scope::kCrossover ||
         scope == model::Scope::kMixerSend;
}

// The channel the parameter's scope needs; the error names what the channel should have been.
std::optional<int> ChannelFor(const model::ParameterDescriptor& parameter, const QString& text,
                              int type, QString* error) {
  const protocol::Layout& layout = protocol::LayoutOfType(type);
  if (parameter.scope == model::Scope::kDevice) {
    if (IsDeviceWord(text)) return -1;
    *error = QStringLiteral("\"%1\" is a device setting: give \"device\" as CHANNEL.")
                 .arg(parameter.name);
    return std::nullopt;
  }
  const auto ch = model::ResolveChannel(text, type);
  if (!ch) {
    QStringList names;
    for (int c = 0; c < layout.channel_count; ++c) names << protocol::ChannelName(type, c);
    *error = QStringLiteral("\"%1\" is not a channel of this device (%2).")
                 .arg(text, names.join(QStringLiteral(", ")));
    return std::nullopt;
  }
  if (InputsOnly(parameter.scope) && !layout.IsInput(*ch)) {
    *error = QStringLiteral("\"%1\" belongs to input channels only.").arg(parameter.name);
    return std::nullopt;
  }
  if (OutputsOnly(parameter.scope) && !layout.IsOutput(*ch)) {
    *error = QStringLiteral("\"%1\" belongs to output channels only.").arg(parameter.name);
    return std::nullopt;
  }
  return ch;
}

}  // namespace

QString ChannelText(int device_type, int channel) {
  return channel < 0 ? QStringLiteral("device") : protocol::ChannelName(device_type, channel);
}

TargetOrError ResolveTarget(const QString& channel, const QString& parameter, int device_type,
                            int slot) {
  QString error;
  const auto resolved = model::ResolveParameter(parameter, device_type, &error);
  if (!resolved) return {std::nullopt, Outcome::Usage(error)};
  const auto ch = ChannelFor(*resolved->parameter, channel, device_type, &error);
  if (!ch) return {std::nullopt, Outcome::Usage(error)};
  const protocol::Layout& layout = protocol::LayoutOfType(device_type);
  if (resolved->parameter->scope == model::Scope::kBand && !layout.IsBand(*ch, resolved->element)) {
    return {std::nullopt,
            Outcome::Usage(
                QStringLiteral("The channel has EQ bands 1 to %1.").arg(layout.BandCount(*ch)))};
  }
  const model::Scope scope = resolved->parameter->scope;
  if ((scope == model::Scope::kMixerSend || scope == model::Scope::kRoutingPoint) &&
      (resolved->element < 0 || resolved->element >= protocol::kRoutingSources)) {
    return {std::nullopt, Outcome::Usage(QStringLiteral("%1 are numbered 1 to %2.")
                                             .arg(scope == model::Scope::kMixerSend
                                                      ? QStringLiteral("Mixer inputs")
                                                      : QStringLiteral("Routing sources"))
                                             .arg(protocol::kRoutingSources))};
  }
  return {model::EditTarget{slot, resolved->parameter->id, *ch, resolved->element}, Outcome::Ok()};
}

}  // namespace tessaly::cli
