#include "device/DeviceTypes.h"

#include <array>

#include "device/Commands.h"

namespace tessaly::device {
namespace {

struct TypeInfo {
  const char* model_name;
  int baud_rate;
  uint8_t probe_command;
  int last_program_index;
  const char* preset_folder;
};

constexpr std::array<TypeInfo, kTypeCount> kTypes = {{
    {" RK-540 ", 57600, device::kCmdProbeA, 63, "preset_540"},
    {" RK-360 ", 9600, device::kCmdProbeB, 55, "preset_360"},
    {" RL-4800 ", 9600, device::kCmdProbeB, 15, "preset_4800"},
    {" RK-540 ", 57600, device::kCmdProbeA, 55, "preset_540S"},
}};

// An unknown code is treated as family A's first type so that a corrupt value never indexes
// outside the table.
const TypeInfo& Info(int type) { return kTypes[IsValidType(type) ? type : 0]; }

}  // namespace

bool IsValidType(int type) { return type >= 0 && type < kTypeCount; }
bool IsFamilyB(int type) { return type == kType540S; }
QString ModelName(int type) { return QString::fromLatin1(Info(type).model_name); }
int BaudRate(int type) { return Info(type).baud_rate; }
uint8_t ProbeCommand(int type) { return Info(type).probe_command; }
int LastProgramIndex(int type) { return Info(type).last_program_index; }
QString PresetFolder(int type) { return QString::fromLatin1(Info(type).preset_folder); }

}  // namespace tessaly::device
