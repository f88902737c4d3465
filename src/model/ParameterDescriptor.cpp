#include "model/ParameterDescriptor.h"

#include <algorithm>

#include "graph/GraphMarkers.h"
#include "model/DecimalSnap.h"
#include "protocol/CommonOperations.h"
#include "protocol/ScaleDelay.h"
#include "protocol/ScaleSlider.h"
#include "protocol/ScaleText.h"
#include "protocol/ScaleWord.h"
#include "protocol/ValueLists.h"

namespace tessaly::model {
namespace {

// The Q box keeps at most four characters of what was typed.
constexpr int kQTextLength = 4;

QString Folded(QStringView text) {
  QString out;
  for (const QChar c : text) {
    if (!c.isSpace()) out += c.toLower();
  }
  return out;
}

// Takes a unit off the end of a typed value ("12.5ms", "-6 dB"); false when it is not there.
bool ChopUnit(QStringView& text, QStringView unit) {
  const QStringView trimmed = text.trimmed();
  if (unit.isEmpty() || !trimmed.endsWith(unit, Qt::CaseInsensitive)) return false;
  text = trimmed.chopped(unit.size());
  return true;
}

const protocol::ValueScale& QScale(int band_type) { return protocol::EqQScale(band_type); }

std::optional<int> Snapped(std::span<const double> steps, QStringView text, bool comma) {
  const auto typed = ParseDecimal(text, comma);
  if (!typed) return std::nullopt;
  return SnapDecimal(steps, *typed);
}

QString SignedText(double value, bool plus) {
  const QString text = protocol::NumberText(value, false);
  return plus && value > 0 ? QLatin1Char('+') + text : text;
}

// "-60 to +12 in 0.5 dB steps", "10 to 1000 (nearest list entry)".
QString ScaleRange(const protocol::ValueScale& scale, const QString& unit) {
  const auto steps = scale.steps();
  const bool plus = scale.Minimum() < 0;
  QString text = SignedText(scale.Minimum(), plus) + QStringLiteral(" to ") +
                 SignedText(scale.Maximum(), plus);
  const double spacing = steps.size() > 1 ? steps[1] - steps[0] : 1.0;
  bool even = true;
  for (size_t k = 1; k < steps.size(); ++k) {
    if (std::abs(steps[k] - steps[k - 1] - spacing) > 1e-9) even = false;
  }
  if (!even) return text + QStringLiteral(" (nearest list entry)");
  if (std::abs(spacing - 1.0) > 1e-9) {
    text += QStringLiteral(" in %1%2 steps")
                .arg(protocol::NumberText(spacing, false),
                     unit.isEmpty() ? QString() : QLatin1Char(' ') + unit);
  }
  return text;
}

}  // namespace

int FamilyBit(protocol::Family family) {
  return family == protocol::Family::kB ? kFamilyB : kFamilyA;
}

bool ParameterDescriptor::OnType(int device_type) const {
  if ((families & FamilyBit(protocol::FamilyOf(device_type))) == 0) return false;
  return device_types.empty() ||
         std::find(device_types.begin(), device_types.end(), device_type) != device_types.end();
}

ParseResult ParameterDescriptor::Parse(QStringView text, const ParseOptions& options) const {
  const bool comma = options.decimal_comma;
  std::optional<int> index;
  switch (kind) {
    case ValueKind::kScale: {
      const protocol::ValueScale& s = protocol::ScaleOf(scale);
      QStringView number = text;
      // Only what stands before the first ":" is read, so a ratio's "4:1" reads as 4.
      if (scale == protocol::ScaleKind::kRatio) {
        const qsizetype colon = number.indexOf(u':');
        if (colon >= 0) number = number.left(colon);
      }
      if (options.unit_suffix) ChopUnit(number, s.Unit());
      index = Snapped(s.steps(), number, comma);
      break;
    }
    case ValueKind::kBandQ:
      index = Snapped(QScale(options.band_type).steps(), text.trimmed().left(kQTextLength), comma);
      break;
    case ValueKind::kFrequency: {
      QStringView number = text;
      if (options.unit_suffix) ChopUnit(number, u"Hz");
      const auto typed = ParseDecimal(number, comma);
      if (typed) index = protocol::FrequencyFromTyped(static_cast<double>(*typed) / 1e9);
      break;
    }
    case ValueKind::kDelay: {
      QStringView number = text;
      int unit = options.delay_unit == protocol::kDelayUnitTime ? protocol::kDelayUnitTime
                                                                : protocol::kDelayUnitMeter;
      if (options.unit_suffix) {
        if (ChopUnit(number, u"ms")) {
          unit = protocol::kDelayUnitTime;
        } else if (ChopUnit(number, u"m")) {
          unit = protocol::kDelayUnitMeter;
        }
      }
      const auto typed = ParseDecimal(number, comma);
      const auto limit = protocol::DelayLimitMs(options.device_type, options.channel);
      if (typed && limit) {
        const protocol::DelaySetting delay =
            protocol::DelayFromTyped(static_cast<double>(*typed) / 1e9, unit, *limit);
        index = delay.milliseconds * kDelaySamplesPerMs + delay.samples;
      }
      break;
    }
    case ValueKind::kChoice:
    case ValueKind::kSwitch:
    case ValueKind::kAction: {
      bool is_number = false;
      const int number = text.trimmed().toInt(&is_number, 10);
      if (is_number && number >= minimum && number <= maximum) {
        index = number;
        break;
      }
      const QString wanted = Folded(text);
      if (wanted.isEmpty()) break;
      const bool family_b = protocol::FamilyOf(options.device_type) == protocol::Family::kB;
      const QStringList& names =
          family_b && !family_b_captions.isEmpty() ? family_b_captions : captions;
      for (int i = 0; i < names.size() && !index; ++i) {
        if (Folded(names[i]) == wanted) index = minimum + i;
        if (i < aliases.size()) {
          for (const QString& alias : aliases[i]) {
            if (Folded(alias) == wanted) index = minimum + i;
          }
        }
      }
      break;
    }
  }
  if (index) return {index, {}};
  return {std::nullopt, QStringLiteral("\"%1\" is not accepted for %2, which takes %3.")
                            .arg(text.toString(), name, RangeText())};
}

QString ParameterDescriptor::Show(int index, const ParseOptions& context) const {
  switch (kind) {
    case ValueKind::kScale: {
      const protocol::ValueScale& s = protocol::ScaleOf(scale);
      const QString text = s.Text(s.ClampByte(index), false);
      return s.Unit().isEmpty() ? text : text + QLatin1Char(' ') + s.Unit();
    }
    case ValueKind::kBandQ: {
      const protocol::ValueScale& s = QScale(context.band_type);
      return s.Text(s.ClampByte(index), false);
    }
    case ValueKind::kFrequency:
      return QStringLiteral("%1 Hz").arg(index);
    case ValueKind::kDelay: {
      const int unit = context.delay_unit == protocol::kDelayUnitTime ? protocol::kDelayUnitTime
                                                                      : protocol::kDelayUnitMeter;
      return protocol::DelayText(index / kDelaySamplesPerMs, index % kDelaySamplesPerMs, unit,
                                 false) +
             protocol::DelayUnitName(unit);
    }
    case ValueKind::kChoice:
    case ValueKind::kSwitch:
    case ValueKind::kAction: {
      const bool family_b = protocol::FamilyOf(context.device_type) == protocol::Family::kB;
      const QStringList& names =
          family_b && !family_b_captions.isEmpty() ? family_b_captions : captions;
      const int i = std::clamp(index, minimum, maximum) - minimum;
      return i < names.size() ? names[i] : QString::number(index);
    }
  }
  return {};
}

QString ParameterDescriptor::BoxText(int index, const ParseOptions& context) const {
  const bool comma = context.decimal_comma;
  switch (kind) {
    case ValueKind::kScale: {
      const protocol::ValueScale& s = protocol::ScaleOf(scale);
      return s.Text(s.ClampByte(index), comma);
    }
    case ValueKind::kBandQ: {
      const protocol::ValueScale& s = QScale(context.band_type);
      return s.Text(s.ClampByte(index), comma);
    }
    case ValueKind::kFrequency:
      return QString::number(index);
    case ValueKind::kDelay: {
      const int unit = context.delay_unit == protocol::kDelayUnitTime ? protocol::kDelayUnitTime
                                                                      : protocol::kDelayUnitMeter;
      return protocol::DelayText(index / kDelaySamplesPerMs, index % kDelaySamplesPerMs, unit,
                                 comma);
    }
    case ValueKind::kChoice:
    case ValueKind::kSwitch:
    case ValueKind::kAction:
      break;
  }
  return Show(index, context);
}

int EqGainIndexOf(double gain_db) {
  return Param(ParamId::kEqGain).IndexFromSlider(graph::EqGainSliderPosition(gain_db));
}

int ParameterDescriptor::SliderPosition(int index) const {
  return protocol::SliderPositionFromByte(index - minimum, maximum - minimum + 1);
}

int ParameterDescriptor::IndexFromSlider(int position) const {
  return minimum + protocol::ByteFromSliderPosition(position, maximum - minimum + 1);
}

int ParameterDescriptor::KnobTop(int index) const {
  if (!knob) return 0;
  const int span = maximum - minimum;
  // Rounded up, so that the whole-twip top reads back as the same index.
  const int divisor = std::max(span, 1);
  return knob->upper + ((SliderPosition(index) - 1) * knob->length + divisor - 1) / divisor;
}

int ParameterDescriptor::IndexFromKnob(int top) const {
  if (!knob) return minimum;
  const int clamped = std::clamp(top, knob->upper, knob->lower);
  const int span = maximum - minimum;
  return IndexFromSlider(1 + span * (clamped - knob->upper) / knob->length);
}

QString ParameterDescriptor::RangeText() const {
  QString text;
  switch (kind) {
    case ValueKind::kScale: {
      const protocol::ValueScale& s = protocol::ScaleOf(scale);
      text = s.Unit().isEmpty() ? ScaleRange(s, {})
                                : s.Unit() + QStringLiteral(", ") + ScaleRange(s, s.Unit());
      if (scale == protocol::ScaleKind::kRatio) {
        text = QStringLiteral("%1 to %2, as 4 or 4:1")
                   .arg(protocol::NumberText(s.Minimum(), false),
                        protocol::NumberText(s.Maximum(), false));
      }
      break;
    }
    case ValueKind::kBandQ: {
      const auto range = [](int type) {
        const protocol::ValueScale& s = QScale(type);
        return protocol::NumberText(s.Minimum(), false) + QStringLiteral(" to ") +
               protocol::NumberText(s.Maximum(), false);
      };
      text = QStringLiteral("Q on the band type's table (Bell %1, Notch %2, others %3)")
                 .arg(range(protocol::kEqTypeBell), range(protocol::kEqTypeNotch), range(1));
      break;
    }
    case ValueKind::kFrequency:
      text = QStringLiteral("Hz, %1 to %2").arg(minimum).arg(maximum);
      break;
    case ValueKind::kDelay:
      text = QStringLiteral("in the device's display unit, or with a unit: 12.5ms, 4.25m");
      break;
    case ValueKind::kChoice:
    case ValueKind::kSwitch:
    case ValueKind::kAction: {
      if (kind == ValueKind::kSwitch) {
        text = QStringLiteral("on, off");
        break;
      }
      // A caption with blanks is given by its short word first ("100V (\"16 Ohm - 100V\")").
      QStringList words;
      bool numbered = false;
      for (int i = 0; i < captions.size(); ++i) {
        const bool aliased =
            i < aliases.size() && !aliases[i].isEmpty() && captions[i].contains(QLatin1Char(' '));
        const bool blank = captions[i].contains(QLatin1Char(' '));
        if (aliased) {
          words << QStringLiteral("%1 (\"%2\")").arg(aliases[i].front(), captions[i]);
        } else {
          words << (blank ? QLatin1Char('"') + captions[i] + QLatin1Char('"') : captions[i]);
          numbered = numbered || blank;
        }
      }
      text = words.join(QStringLiteral(", "));
      // Captions with blanks are awkward to type: their numbers are accepted too.
      if (numbered) {
        text = QStringLiteral("%1 to %2 or the caption: ").arg(minimum).arg(maximum) + text;
      }
      break;
    }
  }
  if (note.isEmpty()) return text;
  return note.startsWith(QLatin1Char(';')) ? text + note : text + QLatin1Char(' ') + note;
}

}  // namespace tessaly::model
