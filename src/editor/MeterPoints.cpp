#include "editor/MeterPoints.h"

namespace tessaly::editor {

namespace {
bool IsOutput(int channel) { return channel >= MeterPoints::kFirstOutput; }
bool IsChannel(int channel) { return channel >= 0 && channel < MeterPoints::kChannels; }
}  // namespace

MeterPoints::MeterPoints(QObject* parent) : QObject(parent) {}

QStringList MeterPoints::Captions(int channel) {
  if (IsOutput(channel)) {
    return {QStringLiteral("After Mute"), QStringLiteral("Before Limiter"),
            QStringLiteral("After Limiter")};
  }
  return {QStringLiteral("Before Gain"), QStringLiteral("After Gain"),
          QStringLiteral("After Compressor")};
}

QString MeterPoints::Code(int channel, int choice) {
  static const QStringList kInputCodes = {QStringLiteral("BG"), QStringLiteral("AG"),
                                          QStringLiteral("AC")};
  static const QStringList kOutputCodes = {QStringLiteral("AM"), QStringLiteral("BL"),
                                           QStringLiteral("AL")};
  const QStringList& codes = IsOutput(channel) ? kOutputCodes : kInputCodes;
  return choice >= 0 && choice < codes.size() ? codes[choice] : QString();
}

int MeterPoints::Choice(int channel) const {
  return IsChannel(channel) ? choices_[static_cast<size_t>(channel)] : -1;
}

void MeterPoints::SetChoice(int channel, int choice) {
  if (!IsChannel(channel) || choice < 0 || choice >= Captions(channel).size()) return;
  int& kept = choices_[static_cast<size_t>(channel)];
  if (kept == choice) return;
  kept = choice;
  emit choiceChanged(channel, choice);
}

}  // namespace tessaly::editor
