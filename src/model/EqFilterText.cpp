#include "model/EqFilterText.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>

#include "graph/CurveMath.h"
#include "version/Version.h"

namespace tessaly::model {
namespace {

using graph::TextFault;

// The filter words both tools write, and the device band type each one becomes.
std::optional<int> BandTypeOfKind(const QString& kind) {
  struct Row {
    const char* word;
    int type;
  };
  static const Row kRows[] = {
      {"PK", graph::kBandBell},      {"LS", graph::kBandLoShelf},  {"LSC", graph::kBandLoShelf},
      {"HS", graph::kBandHiShelf},   {"HSC", graph::kBandHiShelf}, {"HP", graph::kBandHighPass},
      {"HPQ", graph::kBandHighPass}, {"LP", graph::kBandLowPass},  {"LPQ", graph::kBandLowPass},
      {"NO", graph::kBandNotch},
  };
  for (const Row& row : kRows) {
    if (kind.compare(QLatin1String(row.word), Qt::CaseInsensitive) == 0) return row.type;
  }
  return std::nullopt;
}

const char* KindOfBandType(int type) {
  switch (type) {
    case graph::kBandHiShelf:
      return "HSC";
    case graph::kBandLoShelf:
      return "LSC";
    case graph::kBandHighPass:
      return "HPQ";
    case graph::kBandLowPass:
      return "LPQ";
    case graph::kBandNotch:
      return "NO";
    default:
      return "PK";
  }
}

bool IsPass(int type) { return type == graph::kBandHighPass || type == graph::kBandLowPass; }

// A number as either tool writes it, with a decimal point or comma.
std::optional<double> Number(QString word) {
  bool ok = false;
  const double value = QLocale::c().toDouble(word.replace(QLatin1Char(','), QLatin1Char('.')), &ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}

// Q of a bandwidth in octaves.
double QOfOctaves(double n) { return std::sqrt(std::exp2(n)) / (std::exp2(n) - 1.0); }

struct LineResult {
  std::optional<AskedFilter> filter;
  std::optional<SkippedLine> skipped;
  std::optional<TextFault> fault;
  bool unused = false;  // "ON None"
};

LineResult ReadFilterLine(int number, const QString& line, const QString& rest) {
  static const QRegularExpression kBlanks(QStringLiteral("\\s+"));
  const QStringList words = rest.split(kBlanks, Qt::SkipEmptyParts);
  LineResult out;
  const auto fault = [&](const QString& reason) {
    out.fault = TextFault{number, reason};
    return out;
  };
  if (words.isEmpty()) return fault(QStringLiteral("the filter line ends after its number"));
  const QString state = words[0].toUpper();
  if (state != QLatin1String("ON") && state != QLatin1String("OFF")) {
    return fault(QStringLiteral("\"%1\" is neither ON nor OFF").arg(words[0]));
  }
  if (words.size() < 2) return fault(QStringLiteral("the filter has no type"));
  if (words[1].compare(QLatin1String("None"), Qt::CaseInsensitive) == 0) {
    out.unused = true;
    return out;
  }
  if (state == QLatin1String("OFF")) {
    out.skipped = SkippedLine{number, line, QStringLiteral("switched off")};
    return out;
  }
  AskedFilter f;
  f.line = number;
  f.text = line;
  f.kind = words[1];
  f.band_type = BandTypeOfKind(words[1]);
  qsizetype i = 2;
  // A shelf may name its slope; the device's shelves have 12 dB per octave only.
  static const QRegularExpression kSlope(QStringLiteral("^(\\d+)dB$"),
                                         QRegularExpression::CaseInsensitiveOption);
  if (i < words.size()) {
    const auto slope = kSlope.match(words[i]);
    if (slope.hasMatch()) {
      f.kind += QLatin1Char(' ') + words[i];
      if (slope.captured(1) != QLatin1String("12")) f.band_type.reset();
      ++i;
    }
  }
  if (!f.band_type) {
    out.filter = f;  // refused later, with its line
    return out;
  }
  bool has_fc = false;
  while (i < words.size()) {
    const QString key = words[i].toUpper();
    const bool bandwidth = key == QLatin1String("BW") && i + 1 < words.size() &&
                           words[i + 1].compare(QLatin1String("Oct"), Qt::CaseInsensitive) == 0;
    if (bandwidth) ++i;
    if (key != QLatin1String("FC") && key != QLatin1String("GAIN") && key != QLatin1String("Q") &&
        !bandwidth) {
      return fault(QStringLiteral("\"%1\" is not a filter setting").arg(words[i]));
    }
    if (i + 1 >= words.size()) return fault(QStringLiteral("\"%1\" has no value").arg(words[i]));
    const auto value = Number(words[i + 1]);
    if (!value) return fault(QStringLiteral("\"%1\" is not a finite number").arg(words[i + 1]));
    i += 2;
    const auto unit = [&](const char* u) {
      if (i < words.size() && words[i].compare(QLatin1String(u), Qt::CaseInsensitive) == 0) {
        ++i;
        return true;
      }
      return false;
    };
    if (key == QLatin1String("FC")) {
      f.hz = unit("kHz") ? *value * 1000.0 : *value;
      unit("Hz");
      has_fc = true;
    } else if (key == QLatin1String("GAIN")) {
      f.gain_db = *value;
      unit("dB");
    } else if (bandwidth) {
      if (*value <= 0.0) return fault(QStringLiteral("a bandwidth must be above 0 octaves"));
      f.q = QOfOctaves(*value);
    } else {
      f.q = *value;
    }
  }
  if (!has_fc) return fault(QStringLiteral("the filter has no frequency (Fc)"));
  if (f.hz <= 0.0) return fault(QStringLiteral("the frequency must be above 0 Hz"));
  if (f.q && *f.q <= 0.0) return fault(QStringLiteral("Q must be above 0"));
  if (*f.band_type == graph::kBandBell && (!f.gain_db || !f.q)) {
    return fault(QStringLiteral("a PK filter needs its gain and its Q"));
  }
  out.filter = f;
  return out;
}

}  // namespace

FilterListOrFault ParseFilterText(QStringView text) {
  static const QRegularExpression kFilter(QStringLiteral("^Filter\\s*(\\d*)\\s*:(.*)$"),
                                          QRegularExpression::CaseInsensitiveOption);
  FilterList list;
  bool any_filter = false;
  bool rew_header = false;
  int first_other = 0;
  int number = 0;
  for (const QStringView raw : text.split(QLatin1Char('\n'))) {
    ++number;
    const QString line = raw.trimmed().toString();
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
    const auto match = kFilter.match(line);
    if (!match.hasMatch()) {
      // REW starts its export with this line and a few lines of its own before the filters.
      if (!any_filter && first_other == 0 &&
          line.compare(QLatin1String("Filter Settings file"), Qt::CaseInsensitive) == 0) {
        rew_header = true;
      }
      if (first_other == 0) first_other = number;
      if (rew_header && !any_filter) continue;
      const bool preamp = line.startsWith(QLatin1String("Preamp:"), Qt::CaseInsensitive);
      list.skipped.push_back(
          {number, line,
           preamp ? QStringLiteral("a preamp is not applied") : QStringLiteral("not a filter")});
      continue;
    }
    const LineResult read = ReadFilterLine(number, line, match.captured(2));
    if (read.fault) return {std::nullopt, *read.fault};
    any_filter = true;
    if (read.filter) list.filters.push_back(*read.filter);
    if (read.skipped) list.skipped.push_back(*read.skipped);
  }
  if (!any_filter) {
    return {std::nullopt,
            {first_other == 0 ? 1 : first_other,
             first_other == 0 ? QStringLiteral("the text holds no filter lines")
                              : QStringLiteral("not a filter line (\"Filter N: ON PK Fc ...\")")}};
  }
  return {std::move(list), {}};
}

QString WriteFilterText(FilterFormat format, const std::vector<FilterBand>& bands,
                        const QString& title) {
  const QLocale c = QLocale::c();
  QString out;
  if (format == FilterFormat::kRew) {
    out += QStringLiteral("Filter Settings file\n\nTessaly %1\n\nNotes: %2\n\nEqualiser: Generic\n")
               .arg(QString::fromLatin1(kVersion), title);
  }
  int n = 0;
  for (const FilterBand& b : bands) {
    ++n;
    const QString state = b.bypassed ? QStringLiteral("OFF") : QStringLiteral("ON");
    const QString kind = QString::fromLatin1(KindOfBandType(b.type));
    const QString q = c.toString(b.q, 'f', 2);
    const QString gain = c.toString(b.gain_db, 'f', 1);
    const bool with_gain = !IsPass(b.type) && b.type != graph::kBandNotch;
    if (format == FilterFormat::kRew) {
      // REW's columns: number right-aligned in two, state in three, type in eight.
      QString line = QStringLiteral("Filter %1: %2 %3 Fc %4 Hz")
                         .arg(n, 2)
                         .arg(state, -3)
                         .arg(kind, -8)
                         .arg(b.hz, 6);
      if (with_gain) line += QStringLiteral("  Gain %1 dB").arg(gain, 5);
      line += QStringLiteral("  Q %1").arg(q, 5);
      out += line + QLatin1Char('\n');
    } else {
      QString line = QStringLiteral("Filter %1: %2 %3 Fc %4 Hz").arg(n).arg(state, kind).arg(b.hz);
      if (with_gain) line += QStringLiteral(" Gain %1 dB").arg(gain);
      out += line + QStringLiteral(" Q %1\n").arg(q);
    }
  }
  return out;
}

std::optional<FilterFormat> FilterFormatNamed(QStringView name) {
  if (name.compare(QLatin1String("rew"), Qt::CaseInsensitive) == 0) return FilterFormat::kRew;
  if (name.compare(QLatin1String("apo"), Qt::CaseInsensitive) == 0) return FilterFormat::kApo;
  return std::nullopt;
}

}  // namespace tessaly::model
