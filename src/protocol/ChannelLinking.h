#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "protocol/Dispatch.h"
#include "protocol/ProgramStore.h"
#include "protocol/SlotState.h"

namespace tessaly::protocol {

// The channels that repeat an edit made on `ch`, in increasing order and without `ch` itself.
// Inputs follow inputs and outputs follow outputs. Family A links its two inputs through
// InputLinkOn; family A outputs and every family B channel need `ch` itself to be a member.
std::vector<int> LinkFollowers(Family family, const SlotState& state, int ch);

// Brings the link flags back from the link byte of a program being shown.
void RestoreLinkFlags(Family family, uint8_t link_byte, SlotState& state);

struct LinkOutcome {
  // kRefused: slot, channel, band or filter out of range, or a parameter the channel's group
  // does not have; nothing touched. kSendFailed: at least one follower's command was lost (the
  // others were still sent).
  EditResult result = EditResult::kDone;
  std::vector<int> followers;  // channels the edit was repeated on, in order
};

// Repeats an edit on the channels linked to the edited one. Called right after the edited
// channel's own command went out; the value is taken from that channel's image and slot state
// and each follower goes through its family's own operation, so its image, slot state, command
// and views are exactly as if the user had edited it. A follower's copy is never repeated
// further: each edit fans out once, from the edited channel.
class ChannelLinking {
 public:
  ChannelLinking(ProgramStore& store, Dispatcher& dispatcher)
      : store_(store), dispatcher_(dispatcher) {}

  LinkOutcome LinkGate(int slot, int ch);
  LinkOutcome LinkCompressor(int slot, int ch);
  LinkOutcome LinkLimiter(int slot, int ch);
  LinkOutcome LinkCrossover(int slot, int ch, int filter);
  LinkOutcome LinkDelay(int slot, int ch);
  LinkOutcome LinkGain(int slot, int ch);
  LinkOutcome LinkPolarity(int slot, int ch);
  LinkOutcome LinkMute(int slot, int ch);
  // `band` is the band number within the channel.
  LinkOutcome LinkEqBand(int slot, int ch, int band);
  LinkOutcome LinkEqSwitch(int slot, int ch);
  // After "EQ Flat": every band of the edited channel, band by band, to each follower.
  LinkOutcome LinkFlatEq(int slot, int ch);
  LinkOutcome LinkSpeakerDrive(int slot, int ch);

 private:
  enum class Group { kInputs, kOutputs, kBoth };
  using Copy = std::function<EditResult(FamilyOperations& ops, int follower)>;
  // Checks the edited channel's group, then runs `copy` for each follower in order. The value
  // to copy is read by the caller before, from the edited channel alone.
  LinkOutcome FanOut(int slot, int ch, Group group, const Copy& copy);

  ProgramStore& store_;
  Dispatcher& dispatcher_;
};

}  // namespace tessaly::protocol
