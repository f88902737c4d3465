#pragma once

#include <QString>
#include <functional>

namespace tessaly::model {
struct ParameterDescriptor;
}
namespace tessaly::protocol {
class ProgramData;
}

namespace tessaly::programs {

// One parameter of a record as the editor shows it.
struct ParameterValue {
  const model::ParameterDescriptor* parameter = nullptr;
  int channel = -1;  // -1 for a device setting
  int element = -1;  // band, mixer input or routing source; -1 for none
  int index = 0;     // as stored
  QString where;     // "In1L band 3 " or empty
  QString shown;     // "-6 dB"; empty when the index is out of range
  bool in_range = true;
};

// Reads a record through the parameter descriptions with no device behind it, one parameter at a
// time in the order of the descriptions; `visit` returns false to stop.
void VisitParameters(const protocol::ProgramData& data, int device_type,
                     const std::function<bool(const ParameterValue&)>& visit);

}  // namespace tessaly::programs
