#pragma once

#include "connect/ConnectSession.h"

namespace tessaly::connect {

inline constexpr const char* kUsbSearchingText = "Searching COM, please wait.....";
inline constexpr const char* kUsbDemoQuestion =
    "COM not found or device not connected, do you want to continue in demo mode?";
inline constexpr const char* kDemoQuestionTitle = "Warning";
inline constexpr int kUsbNameProgressMax = 504;
inline constexpr int kProbeAttempts = 2;

// Finds the one device on the chosen COM port, always in slot 0, by trying the speeds and probe
// commands of the device types in a fixed order.
class UsbConnect {
 public:
  explicit UsbConnect(ConnectContext& context) : context_(context) {}

  // The three stages: 57600 baud with probe 119 (540S, then RK-540), then 9600 baud with probe
  // 127 twice (RK-360, RL-4800). The port of the stage that found a device stays open.
  bool SearchNumCom();

  // The whole connect: reset, search, name read, or the demo question when nothing answered.
  ConnectOutcome Run(const ConnectHooks& hooks);

 private:
  bool Stage(int16_t type, int16_t fallback_type, int16_t answer_type, int16_t other_type);
  void RegisterSlot0(int16_t type);
  void ReadName(const ConnectHooks& hooks);

  ConnectContext& context_;
};

// "Reading device [ID:00], please wait....."
QString ReadingDeviceText(int device_id);

}  // namespace tessaly::connect
