#pragma once

#include <cstdint>

namespace tessaly::device {

// Every command byte of the device protocol, shared by the exchange layer, the family modules,
// the program tools and the emulator.
inline constexpr uint8_t kCmdIdentify = 0;  // reply byte 8 = device type code
inline constexpr uint8_t kCmdGain = 1;
inline constexpr uint8_t kCmdDelay = 2;
inline constexpr uint8_t kCmdPolarity = 3;
inline constexpr uint8_t kCmdCrossover = 4;
inline constexpr uint8_t kCmdEqBand = 5;
inline constexpr uint8_t kCmdEqSwitch = 6;
inline constexpr uint8_t kCmdDynamics = 7;      // compressor of an input, limiter of an output
inline constexpr uint8_t kCmdOutputSource = 8;  // family B: the output's four mixer sends
inline constexpr uint8_t kCmdMute = 9;
inline constexpr uint8_t kCmdRelease = 15;       // sent just before the PC closes its link
inline constexpr uint8_t kCmdWriteSetting = 17;  // P1 P2 = settings address, P5 = the byte
inline constexpr uint8_t kCmdSpeakerDrive = 25;
inline constexpr uint8_t kCmdGate = 26;
inline constexpr uint8_t kCmdRecallProgram = 27;  // P1 = program slot into the edit buffer
inline constexpr uint8_t kCmdInputMode = 28;      // family B: an input's routing bytes
inline constexpr uint8_t kCmdNoiseGenerator = 29;
inline constexpr uint8_t kCmdProgramStatus = 31;  // which program slots hold data
inline constexpr uint8_t kCmdVersions = 34;       // reply bytes 4..9 = firmware and second version
inline constexpr uint8_t kCmdDigitalMode = 36;    // family B
inline constexpr uint8_t kCmdWriteFour = 40;      // P1 P2 = image offset, P5..P8 = four bytes
inline constexpr uint8_t kCmdStoreProgram = 42;   // P1 = program slot the edit buffer goes to
inline constexpr uint8_t kCmdStandby = 44;
// P6 = standby mirroring, P7 = line-out byte, P8 = trigger lines: line out and triggers share it.
inline constexpr uint8_t kCmdLineOut = 46;
inline constexpr uint8_t kCmdEndOfBlocks = 49;  // ends a whole-image write
inline constexpr uint8_t kCmdSleepMode = 50;
inline constexpr uint8_t kCmdSleepGroup = 52;  // P1 = group, P6..P8 = its three bytes
inline constexpr uint8_t kCmdMeterMode = 53;
inline constexpr uint8_t kCmdLink = 54;
inline constexpr uint8_t kCmdChannelCopy = 55;   // P7 = source, P8 = destination channel
inline constexpr uint8_t kCmdMeters = 57;        // meter poll, 33 or 42 reply bytes
inline constexpr uint8_t kCmdKeepAlive = 58;     // keep-alive from the main window's timer
inline constexpr uint8_t kCmdWriteBlock = 92;    // write P3 data bytes at address P1:P2
inline constexpr uint8_t kCmdReadParams = 93;    // read P3 bytes of the parameter memory
inline constexpr uint8_t kCmdDataBlock = 94;     // data-block command framed like 92
inline constexpr uint8_t kCmdReadSettings = 95;  // read P3 bytes of the settings area
inline constexpr uint8_t kCmdProbeA = 119;       // probe of types 0 and 3
inline constexpr uint8_t kCmdSetIp = 120;        // P1..P4 = new IP address
inline constexpr uint8_t kCmdProbeB = 127;       // probe of types 1 and 2
inline constexpr uint8_t kCmdNoReply = 143;      // the device does not answer this one

// On the 540S the output source and input mode commands carry the mixers and the routing matrix.
inline constexpr uint8_t kCmdOutputMixer = kCmdOutputSource;  // an output's four sends
inline constexpr uint8_t kCmdInputRouting = kCmdInputMode;    // an input's four sources

// Places in a request and in a reply.
inline constexpr int kCommandByte = 3;         // request and reply: the command byte (echoed)
inline constexpr int kModeByte = 11;           // request 0: the connection mode, whatever P8 says
inline constexpr int kReplyDataStart = 4;      // first data byte of a memory read or version read
inline constexpr int kMemoryReadOverhead = 5;  // a memory read of P3 bytes brings P3 + 5
inline constexpr int kReplyTypeByte = 8;       // reply to 0 (and to a probe): device type code
inline constexpr int kReplyProbeAckByte = 11;  // reply to a probe: kProbeAck when the kind is right
inline constexpr int kMeterReplyFamilyA = 33;
inline constexpr int kMeterReplyFamilyB = 42;

// Reply byte 11 of a probe carries this value when a device of the expected kind answered.
inline constexpr uint8_t kProbeAck = 31;

}  // namespace tessaly::device
