#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "protocol/Dispatch.h"

namespace tessaly::protocol {
class ProgramStore;
}
namespace tessaly::graph {
class ResponseCurves;
}
namespace tessaly::comm {
class Comm;
}

namespace tessaly::programs {

class WholeProgram;

inline constexpr const char* kCopyTitle = "Copy";
inline constexpr const char* kCopySameText = "Copy not possible, Source=Destination";

enum class CopyMode { kInput, kOutput };

// The lists, frame captions and window caption of the copy window.
struct CopyCaptions {
  QStringList items;
  QString source_frame;
  QString destination_frame;
  QString window;
};
CopyCaptions CopyCaptionsOf(CopyMode mode, bool family_b);
// The device channel of list item `item`.
int CopyChannel(CopyMode mode, bool family_b, int item);

// Copies one channel's processing (dynamics, crossovers, EQ bands and their bypass mask) onto
// another of the same kind: first in the PC's record, slot state and curves, then the device is
// told to do the same with one command 55. Gain, delay and routing stay.
class ChannelCopier {
 public:
  ChannelCopier(comm::Comm& comm, protocol::ProgramStore& store, graph::ResponseCurves& curves,
                WholeProgram& whole);

  // `page_channel` is the channel the editor shows, if any. kRefused for the same or a foreign
  // channel; kSendFailed when command 55 was lost (the PC's copy stays).
  protocol::EditResult Copy(int slot, CopyMode mode, int source_item, int destination_item,
                            std::optional<int> page_channel);

 private:
  comm::Comm& comm_;
  protocol::ProgramStore& store_;
  graph::ResponseCurves& curves_;
  WholeProgram& whole_;
};

}  // namespace tessaly::programs
