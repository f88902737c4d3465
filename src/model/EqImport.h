#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "model/EditTypes.h"
#include "model/EqFilterText.h"
#include "protocol/Dispatch.h"

namespace tessaly::protocol {
class ProgramData;
struct SlotState;
}  // namespace tessaly::protocol

namespace tessaly::model {

class EditPath;

// One band of the channel in an import: what the file asks for (nothing for a band left over)
// and what the device will hold.
struct ImportBand {
  int band = 0;  // within the channel, from 0
  std::optional<AskedFilter> asked;
  protocol::EqBandValues before;
  bool bypassed_before = false;
  protocol::EqBandValues held;
  bool bypassed_after = false;
  QStringList changes;  // what snapping or a default changed: "no Q given: 0.71"

  bool Changes() const;
};

// The whole import of one filter list into one channel, before anything is sent.
struct ImportPlan {
  int channel = 0;
  std::vector<ImportBand> bands;
  std::vector<SkippedLine> refused;  // filters that take no band, and lines that are no filter
  // Largest difference between the asked and the held curve over 20 Hz to 20 kHz, in dB.
  double largest_difference_db = 0.0;
};

// A shelf, pass or notch filter without Q takes this one.
inline constexpr double kDefaultFilterQ = 0.71;

// Maps the switched-on filters onto the channel's bands in order (band 1 first) and snaps them as
// the editor snaps typed values; bands left over become Bell at 0 dB with their frequency and Q.
std::optional<ImportPlan> PlanImport(const FilterList& list, const protocol::ProgramData& data,
                                     const protocol::SlotState& state, int channel);

// Snapped values of a band as numbers: type, whole hertz, gain in dB and Q.
FilterBand BandAsFilter(const protocol::EqBandValues& values, bool bypassed);

// "Bell 100 Hz -3.0 dB Q 2.00" for a band as the device holds it.
QString DescribeBand(const protocol::EqBandValues& values);
// "PK 100 Hz -3 dB Q 2" for a filter as the file asks for it.
QString DescribeAsked(const AskedFilter& filter);

// Sends every band the plan changes as one band edit each (with its linking), all as one undo
// step named `undo_text` ("EQ Import <channel>" when empty). Stops at the first band that fails
// and returns its outcome.
EditOutcome ApplyImport(EditPath& path, int slot, const ImportPlan& plan,
                        const QString& undo_text = {});

}  // namespace tessaly::model
