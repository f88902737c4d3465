#pragma once

#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

#include "graph/Measurement.h"

namespace tessaly::model {

// One switched-on filter of a filter-settings text, as the file asks for it.
struct AskedFilter {
  int line = 0;                  // from 1
  QString text;                  // the line, trimmed
  QString kind;                  // the type word as written: "PK", "LSC", "HPQ" ...
  std::optional<int> band_type;  // the device's band type; nullopt when the device has none
  double hz = 0.0;
  std::optional<double> gain_db;
  std::optional<double> q;
};

// A line that takes no band, and why: switched off, a preamp, not a filter.
struct SkippedLine {
  int line = 0;
  QString text;
  QString reason;
};

struct FilterList {
  std::vector<AskedFilter> filters;  // switched on, in the file's order
  std::vector<SkippedLine> skipped;
};

struct FilterListOrFault {
  std::optional<FilterList> list;
  graph::TextFault fault;
};

// Room EQ Wizard's filter-settings export and Equalizer APO's configuration text, both read by
// the same parser: "Filter N: ON PK Fc 100 Hz Gain -3.0 dB Q 2.00". "Filter N: ON None" (an unused
// filter) takes no band and is not named. A text with no filter line at all, or a filter line
// whose numbers cannot be read, is refused with the line.
FilterListOrFault ParseFilterText(QStringView text);

enum class FilterFormat { kRew, kApo };

// One band as a file writes it.
struct FilterBand {
  int type = 0;  // device band type 0 .. 5
  int hz = 1000;
  double gain_db = 0.0;
  double q = 1.0;
  bool bypassed = false;
};

// The bands in the format's own layout; a bypassed band is written switched off. `title` goes
// into the REW header's notes.
QString WriteFilterText(FilterFormat format, const std::vector<FilterBand>& bands,
                        const QString& title);

// "rew" or "apo" (case ignored).
std::optional<FilterFormat> FilterFormatNamed(QStringView name);

}  // namespace tessaly::model
