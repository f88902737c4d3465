#pragma once

#include <functional>
#include <vector>

#include "reliability/MatrixRig.h"

namespace tessaly::reliability {

// A sequence of several exchanges, as a window runs it. `run` tells whether the sequence says it
// succeeded.
struct Sequence {
  const char* name;
  int type;
  std::vector<Line> lines;
  std::function<bool(MatrixRig&)> run;
  bool registered = true;    // false: the sequence finds the device itself (the connects)
  int programs = 0;          // program slots the device starts with
  bool keeps_image = false;  // on success the PC image equals the device's running program
  std::function<void(MatrixRig&)> prepare = {};  // before the fault, on a healthy line
};

const std::vector<Sequence>& Sequences();

}  // namespace tessaly::reliability
