#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "cli/Outcome.h"
#include "cli/Session.h"
#include "protocol/Dispatch.h"
#include "protocol/ChannelLinking.h"

namespace tessaly::cli {

// Which channels a parameter belongs to.
enum class Scope { kInput, kOutput, kChannel, kDevice };

inline constexpr int kFamilyA = 1;
inline constexpr int kFamilyB = 2;
inline constexpr int kBothFamilies = kFamilyA | kFamilyB;

int FamilyBit(protocol::Family family);

// The one edit `set` makes: which device, which channel and which band or source.
struct EditTarget {
  Session& session;
  int slot = kCliSlot;
  int type = 0;
  const protocol::Layout& layout;
  int ch = -1;     // -1 for a device-wide parameter
  int index = -1;  // band within the channel, mixer input or routing source (from 0)

  protocol::FamilyOperations& ops() { return session.dispatcher().For(slot); }
  protocol::ChannelLinking& linking() { return session.linking(); }
  protocol::ProgramData& data() { return *session.store().Data(slot); }
  protocol::SlotState& state() { return *session.store().State(slot); }
};

// What an edit did, for the report.
struct EditReport {
  QString shown;  // the value as the editor shows it after snapping and clamping
  protocol::EditResult result = protocol::EditResult::kDone;
  std::vector<int> followers;  // linked channels the edit was repeated on
  bool unchanged = false;      // the editor sends nothing for this value

  void Add(protocol::EditResult r);
  void Link(const protocol::LinkOutcome& link);
};

using EditFn = std::function<Outcome(EditTarget&, const QString& value, EditReport&)>;

// One row per parameter: its name as typed (N stands for a band or routing source number, IN
// for a mixer input), the families that have it, the channels it belongs to, the values it
// takes, and the edit that converts the value with the scales and calls the family operation
// and its linking.
struct ParameterRow {
  const char* name;
  int families;
  Scope scope;
  const char* values;
  EditFn edit;
};

const std::vector<ParameterRow>& ParameterTable();

struct ResolvedParameter {
  const ParameterRow* row = nullptr;
  int index = -1;
};

// Finds the row of a typed name such as "gain", "eq.3.freq" or "mix.In2L.level" for a device
// of the given type. The error says why when there is none.
std::optional<ResolvedParameter> ResolveParameter(const QString& name, int device_type,
                                                  QString* error);

// The channel number of a typed channel name ("InL", "sub") or number; nullopt when the device
// has no such channel.
std::optional<int> ResolveChannel(const QString& text, int device_type);

}  // namespace tessaly::cli
