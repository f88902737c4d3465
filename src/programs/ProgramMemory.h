#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <span>

#include "device/PacketFormat.h"
#include "programs/ProjectFile.h"

namespace tessaly::comm {
class Comm;
}
namespace tessaly::protocol {
class ProgramData;
class ProgramStore;
}  // namespace tessaly::protocol

namespace tessaly::programs {

class ProgramNames;
struct ProgramNameList;
class WholeProgram;

inline constexpr uint8_t kEmptySlotMark = 255;  // program-number byte of an empty slot
inline constexpr int kStoreProgressMax = 10;

inline constexpr const char* kEditNamesTitle = "Edit Names";
inline constexpr const char* kInputNameText = "Please input the Name !";
inline constexpr const char* kStoreProgramTitle = "Store Program";
inline constexpr const char* kRecallProgramTitle = "Recall Program";
inline constexpr const char* kAreYouSureText = "               Are you sure ? ";
inline constexpr const char* kProgramEmptyText = "Program empty";
inline constexpr const char* kOverwriteEditingText = "Overwrite current editing, are you sure ? ";

enum class TransferStatus {
  kDone,
  kRefused,    // nothing sent: empty name, empty program, no device, unknown type
  kFailed,     // an exchange was lost; what went before it stays in the device
  kCancelled,  // the user stopped it after the exchange under way
};

struct TransferResult {
  TransferStatus status = TransferStatus::kRefused;
  int programs_done = 0;  // programs read or written whole
  int exchanges = 0;      // exchanges that got their answer
  QString message;        // refusal or verify finding, for the user
};

// Called before each exchange with the steps done so far, the total and the line the window
// shows ("Reading program 07"); returning false stops the transfer there.
using TransferProgress = std::function<bool(int done, int total, const QString& label)>;

// Device address of byte `offset` of program slot `program`.
int ProgramAddress(int device_type, int program, int offset);
// "01" .. "09", "10" ..: the program numbers as the lists show them (from 1).
QString ProgramNumberText(int program);

// The device's program memory: storing the edit buffer into a program slot, recalling one, and
// reading or writing all of them for project files.
class ProgramMemory {
 public:
  ProgramMemory(comm::Comm& comm, protocol::ProgramStore& store, WholeProgram& whole,
                ProgramNames& names);

  // Names the edit buffer and stores it into `program` (0-based): commands 92 (name), 40 (the
  // last four image bytes with the program number) and 42.
  TransferResult Store(int slot, int program, const QString& name,
                       const TransferProgress& progress);
  // Why no program can be recalled into the slot's device now (demonstration mode, no device on
  // line); empty when it can.
  QString WhyNoRecall(int slot) const;
  // Recalls `program` into the edit buffer (27), reads the buffer back (93) and shows it without
  // sending a parameter. An empty program is refused with "Program empty", an unreachable device
  // with WhyNoRecall.
  TransferResult Recall(int slot, int program, std::optional<int> page_channel,
                        const TransferProgress& progress);
  // Reads every program slot into `buffer` (95); empty slots get EmptyProjectRecord.
  TransferResult ReadAll(int slot, ProjectBuffer& buffer, const TransferProgress& progress);
  // Writes every occupied program of `buffer` (94) and marks the others empty (17).
  TransferResult WriteAll(int slot, const ProjectBuffer& buffer, const TransferProgress& progress);
  // Reads the whole memory back and compares it with `sent`: message names the first differing
  // program and byte; kFailed with that message when they differ.
  TransferResult Verify(int slot, const ProjectBuffer& sent, const TransferProgress& progress);
  // Reads the edit buffer back (93) and compares it with the record's image.
  TransferResult VerifyEditBuffer(int slot);

 private:
  struct ProgramSlot {
    protocol::ProgramData* data;
    ProgramNameList* names;
  };
  // The slot's record and program names, when `program` is one of its device's programs.
  std::optional<ProgramSlot> ProgramSlotOf(int slot, int program);
  // One write step; a request kept back on purpose (demo mode, off-line) counts as done. A failed
  // step marks `result` failed.
  bool Write(int slot, uint8_t command, const device::Params& params, TransferResult& result,
             std::span<const uint8_t> data = {});
  // One memory read of `length` bytes: its data bytes, or nothing (and `result` failed) when no
  // reply came.
  std::optional<QByteArray> Read(int slot, uint8_t command, int address, int length,
                                 TransferResult& result);
  bool ReadProgram(int slot, int type, int program, QByteArray& record, TransferResult& result,
                   const std::function<bool()>& step);

  comm::Comm& comm_;
  protocol::ProgramStore& store_;
  WholeProgram& whole_;
  ProgramNames& names_;
};

}  // namespace tessaly::programs
