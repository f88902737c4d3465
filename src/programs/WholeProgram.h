#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "protocol/Dispatch.h"

namespace tessaly::comm {
class Comm;
}

namespace tessaly::protocol {
class ProgramData;
class ProgramStore;
struct SlotState;
}  // namespace tessaly::protocol

namespace tessaly::graph {
class ResponseCurves;
}

namespace tessaly::programs {

class ProgramNames;

inline constexpr int kImageBlockBytes = 32;

// Initial values the reset puts into the record tail.
inline constexpr uint8_t kResetStandby = 1;
inline constexpr uint8_t kResetDelayUnit = 1;  // "Meter"
inline constexpr uint8_t kResetMeterMode = 2;

enum class WriteStatus {
  kDone,
  kRefused,     // no such slot
  kSendFailed,  // a block or the closing command was lost; nothing after it was sent
  kCancelled,   // stopped between blocks; the blocks before stay in the device
};

struct WriteResult {
  WriteStatus status = WriteStatus::kRefused;
  int blocks_sent = 0;
};

// How ShowChannelPage treats the device.
enum class PageSend {
  kSilent,  // a page change or a whole-image display: the device already holds the values
  kResend,  // after a channel copy: the page's parameters go to the device again
};

// Moves a slot's whole program between the record, the editor-side state, the curves and the
// device: resetting a record to the defaults, writing the image to the device in blocks, and
// bringing an image that has just arrived into the slot state and curves without sending a single
// parameter command.
class WholeProgram {
 public:
  // step counts from 1 to total; total is the number of blocks plus the closing command.
  using ProgressFn = std::function<void(int step, int total)>;

  // `comm` carries the data blocks of a whole image and the transfer lock.
  WholeProgram(comm::Comm& comm, protocol::ProgramStore& store, protocol::Dispatcher& dispatcher,
               graph::ResponseCurves& graph, ProgramNames& names);

  // Defaults of the slot's family: image, tail initial values, routing matrix (family B), slot
  // state, IP 192.168.0.100 and the program names. The curves become flat.
  bool ResetProgram(int slot);

  // Derives the slot state from the image and tail, recomputes every curve and tells the views.
  // Sends nothing: TransferLock is held for the call.
  bool ShowProgram(int slot);

  // Brings one channel's page in line with the image: gate, compressor or limiter, crossovers,
  // source or mixer and every EQ band go through their parameter operations, then the channel's
  // curves are recomputed and redrawn. kSilent holds TransferLock; kResend sends the page.
  // Returns the first failed send (the rest of the page is then not sent), kRefused for a
  // channel the family lacks, else kDone.
  protocol::EditResult ShowChannelPage(int slot, int channel, PageSend mode);

  // The display that follows every whole-image arrival: ShowProgram, then the page of
  // `page_channel` when the editor shows a channel page, all under one TransferLock.
  bool DisplayWholeImage(int slot, std::optional<int> page_channel);

  // Writes the slot's image to the device in 32-byte blocks (command 92), then command 49, and
  // on success displays it. The first failure ends the write; the display is skipped then. The
  // spare byte and the record tail are never sent.
  // `cancelled` is asked between blocks; true stops the write there, without command 49.
  WriteResult WriteImage(int slot, std::optional<int> page_channel, const ProgressFn& progress,
                         const std::function<bool()>& cancelled = {});

 private:
  comm::Comm& comm_;
  protocol::ProgramStore& store_;
  protocol::Dispatcher& dispatcher_;
  graph::ResponseCurves& graph_;
  ProgramNames& names_;
};

// The editor-side state an image and tail stand for: channel switches from the masks, band
// bypass flags and types, crossover values, speaker drive, link flags and the tail settings.
// The IP address is left as it is.
void DeriveSlotState(const protocol::ProgramData& data, protocol::SlotState& state);

}  // namespace tessaly::programs
