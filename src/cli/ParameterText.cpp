#include "cli/ParameterText.h"

#include <QJsonArray>

namespace tessaly::cli {
namespace {

QString ScopeName(model::Scope scope) {
  switch (scope) {
    case model::Scope::kInput:
      return QStringLiteral("input");
    case model::Scope::kOutput:
      return QStringLiteral("output");
    case model::Scope::kAnyChannel:
      return QStringLiteral("channel");
    case model::Scope::kBand:
      return QStringLiteral("band");
    case model::Scope::kCrossover:
      return QStringLiteral("crossover");
    case model::Scope::kMixerSend:
      return QStringLiteral("mixer_send");
    case model::Scope::kRoutingPoint:
      return QStringLiteral("routing_point");
    case model::Scope::kDevice:
      break;
  }
  return QStringLiteral("device");
}

QJsonArray FamilyList(int families) {
  QJsonArray list;
  if ((families & model::kFamilyA) != 0) list.append(QStringLiteral("A"));
  if ((families & model::kFamilyB) != 0) list.append(QStringLiteral("B"));
  return list;
}

}  // namespace

QString FamiliesText(int families) {
  QStringList words;
  for (const QJsonValue& family : FamilyList(families)) words << family.toString();
  return words.join(QLatin1Char(' '));
}

QString ChannelsText(model::Scope scope) {
  switch (scope) {
    case model::Scope::kInput:
    case model::Scope::kRoutingPoint:
      return QStringLiteral("in");
    case model::Scope::kOutput:
    case model::Scope::kCrossover:
    case model::Scope::kMixerSend:
      return QStringLiteral("out");
    case model::Scope::kAnyChannel:
    case model::Scope::kBand:
      return QStringLiteral("any");
    case model::Scope::kDevice:
      break;
  }
  return QStringLiteral("device");
}

QString HelpRow(const model::ParameterDescriptor& parameter) {
  return QStringLiteral("  %1 %2 %3 %4")
      .arg(parameter.name, -16)
      .arg(FamiliesText(parameter.families), -4)
      .arg(ChannelsText(parameter.scope), -7)
      .arg(parameter.RangeText());
}

QJsonObject ParameterJson(const model::ParameterDescriptor& parameter) {
  QJsonObject object;
  object[QStringLiteral("name")] = parameter.name;
  object[QStringLiteral("families")] = FamilyList(parameter.families);
  QJsonArray types;
  for (const int type : parameter.device_types) types.append(type);
  object[QStringLiteral("device_types")] = types;
  object[QStringLiteral("scope")] = ScopeName(parameter.scope);
  QJsonObject range;
  range[QStringLiteral("min")] = parameter.minimum;
  range[QStringLiteral("max")] = parameter.maximum;
  range[QStringLiteral("min_shown")] = parameter.Show(parameter.minimum);
  range[QStringLiteral("max_shown")] = parameter.Show(parameter.maximum);
  object[QStringLiteral("range")] = range;
  object[QStringLiteral("step")] = parameter.step;
  object[QStringLiteral("unit")] = parameter.unit;
  object[QStringLiteral("captions")] = QJsonArray::fromStringList(parameter.captions);
  // Family B names some choices otherwise (the meter modes).
  if (!parameter.family_b_captions.isEmpty()) {
    object[QStringLiteral("captions_b")] = QJsonArray::fromStringList(parameter.family_b_captions);
  }
  object[QStringLiteral("values")] = parameter.RangeText();
  return object;
}

}  // namespace tessaly::cli
