#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>

namespace tessaly::editor {

// Family B: where each channel's meter listens, one choice per channel, kept by the editor of one
// device. Inputs: "Before Gain", "After Gain", "After Compressor"; outputs: "After Mute",
// "Before Limiter", "After Limiter".
class MeterPoints : public QObject {
  Q_OBJECT

 public:
  static constexpr int kChannels = 7;
  static constexpr int kFirstOutput = 4;

  explicit MeterPoints(QObject* parent = nullptr);

  static QStringList Captions(int channel);
  // "BG", "AG", "AC" or "AM", "BL", "AL".
  static QString Code(int channel, int choice);

  int Choice(int channel) const;
  void SetChoice(int channel, int choice);

 signals:
  void choiceChanged(int channel, int choice);

 private:
  std::array<int, kChannels> choices_{};
};

}  // namespace tessaly::editor
