#include <gtest/gtest.h>

#include "SimClient.h"
#include "comm/Commands.h"
#include "comm/DeviceTypes.h"
#include "protocol/DefaultImage.h"
#include "sim/SimDevice.h"
#include "sim/SimLayout.h"

namespace tessaly::sim {
namespace {

using testing::At;
using testing::BlockRequest;
using testing::ReadRequest;
using testing::Request;

QByteArray Answer(SimDevice& device, const QByteArray& request) {
  return device.Receive(request).bytes;
}

void ExpectFramed(const QByteArray& reply, uint8_t command, int length) {
  ASSERT_EQ(reply.size(), length);
  EXPECT_EQ(At(reply, 1), 0x1F);
  EXPECT_EQ(At(reply, 3), command);
  EXPECT_EQ(At(reply, length - 1), 0xF7);
}

// How the PC's USB search turns reply byte 8 of a probe into a type: the 57600 baud stage knows
// only 3 and "else 0", the 9600 baud stages only 1 and "else 2".
int TypeFromUsbSearch(int probe_speed, uint8_t byte8) {
  if (probe_speed == 57600) return byte8 == 3 ? 3 : 0;
  return byte8 == 1 ? 1 : 2;
}

class SimDeviceTypeTest : public ::testing::TestWithParam<int> {};

TEST_P(SimDeviceTypeTest, IdentifyCarriesTheType) {
  SimDevice device(GetParam());
  const QByteArray reply = Answer(device, Request(comm::kCmdIdentify));
  ExpectFramed(reply, comm::kCmdIdentify, 13);
  EXPECT_EQ(At(reply, 0), 0x8D);
  EXPECT_EQ(At(reply, 8), GetParam());
}

TEST_P(SimDeviceTypeTest, BothProbesAreAcknowledgedAndIdentifyTheSearchStage) {
  const int type = GetParam();
  SimDevice device(type);
  for (const uint8_t probe : {comm::kCmdProbeA, comm::kCmdProbeB}) {
    const QByteArray reply = Answer(device, Request(probe));
    ExpectFramed(reply, probe, 13);
    EXPECT_EQ(At(reply, 11), comm::kProbeAck);
    EXPECT_EQ(At(reply, 8), type);
  }
  const QByteArray reply = Answer(device, Request(comm::ProbeCommand(type)));
  EXPECT_EQ(TypeFromUsbSearch(comm::BaudRate(type), At(reply, 8)), type);
}

TEST_P(SimDeviceTypeTest, MeterReplyLengthFollowsTheFamily) {
  SimDevice device(GetParam());
  const int length = comm::IsFamilyB(GetParam()) ? 42 : 33;
  const QByteArray first = Answer(device, Request(comm::kCmdMeters));
  ExpectFramed(first, comm::kCmdMeters, length);
  const QByteArray second = Answer(device, Request(comm::kCmdMeters));
  EXPECT_NE(first.mid(4, 15), second.mid(4, 15)) << "levels should move between polls";
}

TEST_P(SimDeviceTypeTest, ReadOutOfTheImageReturnsTheDefaults) {
  SimDevice device(GetParam());
  const QByteArray image = protocol::DefaultImage(GetParam());
  ASSERT_EQ(device.Image(), image);
  for (int address = 0; address < image.size(); address += 32) {
    const QByteArray reply = Answer(device, ReadRequest(comm::kCmdReadParams, address, 32));
    ExpectFramed(reply, comm::kCmdReadParams, 37);
    const QByteArray expected = image.mid(address, 32).leftJustified(32, '\0');
    EXPECT_EQ(reply.mid(4, 32), expected) << "address " << address;
  }
}

TEST_P(SimDeviceTypeTest, ProgramStatusCoversEverySlot) {
  const int type = GetParam();
  SimDevice device(type);
  device.FillPrograms(3);
  std::vector<int> statuses;
  for (int n = 0; n <= comm::LastProgramIndex(type); n += 8) {
    const QByteArray reply = Answer(device, Request(comm::kCmdProgramStatus, {uint8_t(n)}));
    for (int i = 0; i < 8; ++i) statuses.push_back(At(reply, 4 + i));
  }
  ASSERT_EQ(static_cast<int>(statuses.size()), (comm::LastProgramIndex(type) + 8) / 8 * 8);
  EXPECT_EQ(statuses[0], 0);
  EXPECT_EQ(statuses[1], 1);
  EXPECT_EQ(statuses[2], 2);
  for (size_t p = 3; p < statuses.size(); ++p) EXPECT_EQ(statuses[p], 0xFF) << "slot " << p;
}

INSTANTIATE_TEST_SUITE_P(Types, SimDeviceTypeTest, ::testing::Values(0, 1, 2, 3));

TEST(SimDevice, VersionsInBytesFourToNine) {
  SimDevice device(0);
  device.SetVersions({{1, 1, 4}, {2, 0, 7}});
  const QByteArray reply = Answer(device, Request(comm::kCmdVersions));
  EXPECT_EQ(reply.mid(4, 6), QByteArray::fromHex("010104020007"));
}

TEST(SimDevice, WritesNeverGrowTheImage) {
  SimDevice device(0);
  Answer(device, BlockRequest(comm::kCmdWriteBlock, 340, std::vector<uint8_t>(32, 0x77)));
  const QByteArray image = device.Image();
  ASSERT_EQ(image.size(), 352);
  EXPECT_EQ(image.mid(340), QByteArray(12, '\x77'));
}

TEST(SimDevice, FourByteWriteLandsAtItsOffset) {
  SimDevice device(0);
  Answer(device, Request(40, {0x01, 0x5C, 0, 0, 0x0A, 0x0B, 0x0C, 0x05}));  // offset 348
  EXPECT_EQ(device.Image().mid(348, 4), QByteArray::fromHex("0a0b0c05"));
}

TEST(SimDevice, SettingsReadsNameAndIp) {
  SimDevice device(3);
  device.SetName(QStringLiteral("Stage Left Amp"));
  device.SetIpAddress({10, 1, 2, 3});
  const QByteArray name = Answer(device, ReadRequest(comm::kCmdReadSettings, 0, 16));
  ExpectFramed(name, comm::kCmdReadSettings, 21);
  EXPECT_EQ(name.mid(4, 16), QByteArray("Stage Left Amp  "));
  const QByteArray ip = Answer(device, ReadRequest(comm::kCmdReadSettings, 40, 8));
  EXPECT_EQ(ip.mid(4, 4), QByteArray::fromHex("0a010203"));
}

TEST(SimDevice, FamilyBRoutingDefaultsToStraightThrough) {
  SimDevice device(3);
  const QByteArray reply = Answer(device, ReadRequest(comm::kCmdReadSettings, 608, 16));
  for (int input = 0; input < 4; ++input) {
    for (int source = 0; source < 4; ++source) {
      EXPECT_EQ(At(reply, 4 + 4 * input + source), input == source ? 158 : 30);
    }
  }
}

TEST(SimDevice, LineOutAndSleepGroupCommands) {
  SimDevice device(3);
  Answer(device, Request(46, {0, 0, 0, 0, 0, 1, 0x22, 5}));
  Answer(device, Request(52, {4, 0, 0, 0, 0, 127, 255, 254}));
  const QByteArray settings = device.Settings();
  EXPECT_EQ(At(settings, kStandbyMirrorAddress), 1);
  EXPECT_EQ(At(settings, kTriggerAddress), 5);
  EXPECT_EQ(At(device.Image(), kLineOutOffsetB), 0x22);
  EXPECT_EQ(settings.mid(kSleepTableAddress + 12, 3), QByteArray::fromHex("7ffffe"));
}

TEST(SimDevice, StoreRecallAndNames) {
  SimDevice device(0);
  QByteArray image = device.Image();
  image.replace(320, 16, "Live Show       ");
  image[4] = 100;
  ASSERT_TRUE(device.SetImage(image));
  Answer(device, Request(42, {5}));
  EXPECT_EQ(device.ProgramStatus(5), 5);
  EXPECT_EQ(device.ProgramName(5), QStringLiteral("Live Show       "));
  // The name as the read-out finds it: slot 5's name field in program memory, and the name of
  // the program last stored.
  EXPECT_EQ(device.ReadMemory(832 + 352 * 5, 16), QByteArray("Live Show       "));
  EXPECT_EQ(device.ReadMemory(kCurrentNameAddressA, 16), QByteArray("Live Show       "));

  ASSERT_TRUE(device.SetImage(protocol::DefaultImage(0)));
  Answer(device, Request(27, {5}));
  EXPECT_EQ(At(device.Image(), 4), 100);
  EXPECT_EQ(At(device.Image(), 351), 5);
}

TEST(SimDevice, RecallOfAnEmptySlotLeavesTheEditBuffer) {
  SimDevice device(2);
  QByteArray image = device.Image();
  image[10] = 42;
  ASSERT_TRUE(device.SetImage(image));
  Answer(device, Request(27, {3}));
  EXPECT_EQ(device.Image(), image);
}

TEST(SimDevice, ProjectWriteAndEmptyMarkThroughProgramMemory) {
  SimDevice device(3);
  const int slot_55 = 768 + 512 * 55;
  std::vector<uint8_t> block(32, 0x5A);
  block[31] = 55;  // bytes 480..511 of the slot: the program-number byte is the last
  Answer(device, BlockRequest(comm::kCmdDataBlock, slot_55 + 480, block));
  EXPECT_EQ(device.ProgramStatus(55), 55);
  EXPECT_EQ(Answer(device, ReadRequest(comm::kCmdReadSettings, slot_55 + 480, 32)).mid(4, 32),
            QByteArray(reinterpret_cast<const char*>(block.data()), 32));
  Answer(device,
         Request(17, {uint8_t((slot_55 + 511) >> 8), uint8_t((slot_55 + 511) & 0xFF), 0, 0, 255}));
  EXPECT_EQ(device.ProgramStatus(55), 0xFF);
}

TEST(SimDevice, NoReplyToCommand143ButTheTwoOthersAreAcknowledged) {
  SimDevice device(1);
  EXPECT_TRUE(Answer(device, Request(comm::kCmdNoReply)).isEmpty());
  for (const uint8_t command : {comm::kCmdKeepAlive, comm::kCmdRelease, uint8_t(49)}) {
    ExpectFramed(Answer(device, Request(command, {1, 2, 3, 4, 5, 6, 7, 8})), command, 13);
  }
  EXPECT_EQ(device.ReceivedCommands(), (QList<uint8_t>{143, 58, 15, 49}));
}

TEST(SimDevice, FixedMeterPayload) {
  SimDevice device(0);
  QByteArray payload(28, '\0');
  payload[0] = 127;
  payload[15] = 0x20;  // status byte 1: standby
  device.SetMeterPayload(payload);
  const QByteArray reply = Answer(device, Request(comm::kCmdMeters));
  EXPECT_EQ(reply.mid(4, 28), payload);
}

TEST(SimDeviceFaults, SilentDeviceHearsButNeitherAnswersNorActs) {
  SimDevice device(0);
  device.SetSilent(true);
  const QByteArray before = device.Image();
  const SimReply reply =
      device.Receive(BlockRequest(comm::kCmdWriteBlock, 0, std::vector<uint8_t>(8, 1)));
  EXPECT_TRUE(reply.bytes.isEmpty());
  EXPECT_FALSE(reply.disconnect);
  EXPECT_EQ(device.Image(), before);
  EXPECT_EQ(device.ReceivedCount(), 1);
}

}  // namespace
}  // namespace tessaly::sim
