#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "SimClient.h"
#include "device/Commands.h"
#include "device/DeviceTypes.h"
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

class SimDeviceTypeTest : public ::testing::TestWithParam<int> {};

TEST_P(SimDeviceTypeTest, IdentifyProbesAndMeters) {
  const int type = GetParam();
  SimDevice device(type);
  const QByteArray identify = Answer(device, Request(device::kCmdIdentify));
  ExpectFramed(identify, device::kCmdIdentify, 13);
  EXPECT_EQ(At(identify, 0), 0x8D);
  EXPECT_EQ(At(identify, 8), type);
  for (const uint8_t probe : {device::kCmdProbeA, device::kCmdProbeB}) {
    const QByteArray reply = Answer(device, Request(probe));
    ExpectFramed(reply, probe, 13);
    EXPECT_EQ(At(reply, 11), device::kProbeAck);
    EXPECT_EQ(At(reply, 8), type);
  }
  const QByteArray first = Answer(device, Request(device::kCmdMeters));
  ExpectFramed(first, device::kCmdMeters, device::IsFamilyB(type) ? 42 : 33);
  EXPECT_NE(first.mid(4, 15), Answer(device, Request(device::kCmdMeters)).mid(4, 15))
      << "levels should move between polls";
}

TEST_P(SimDeviceTypeTest, ReadOutGivesTheDefaultsAndTheProgramStatus) {
  const int type = GetParam();
  SimDevice device(type);
  const QByteArray image = protocol::DefaultImage(type);
  ASSERT_EQ(device.Image(), image);
  for (int address = 0; address < image.size(); address += 32) {
    const QByteArray reply = Answer(device, ReadRequest(device::kCmdReadParams, address, 32));
    ExpectFramed(reply, device::kCmdReadParams, 37);
    EXPECT_EQ(reply.mid(4, 32), image.mid(address, 32).leftJustified(32, '\0')) << address;
  }
  device.FillPrograms(3);
  std::vector<int> statuses;
  for (int n = 0; n <= device::LastProgramIndex(type); n += 8) {
    const QByteArray reply = Answer(device, Request(device::kCmdProgramStatus, {uint8_t(n)}));
    for (int i = 0; i < 8; ++i) statuses.push_back(At(reply, 4 + i));
  }
  ASSERT_EQ(static_cast<int>(statuses.size()), (device::LastProgramIndex(type) + 8) / 8 * 8);
  for (size_t p = 0; p < statuses.size(); ++p)
    EXPECT_EQ(statuses[p], p < 3 ? static_cast<int>(p) : 0xFF) << p;
}

INSTANTIATE_TEST_SUITE_P(Types, SimDeviceTypeTest, ::testing::Values(0, 1, 2, 3));

TEST(SimDevice, VersionsSettingsAndRouting) {
  SimDevice device(3);
  device.SetVersions({{1, 1, 4}, {2, 0, 7}});
  EXPECT_EQ(Answer(device, Request(device::kCmdVersions)).mid(4, 6),
            QByteArray::fromHex("010104020007"));
  device.SetName(QStringLiteral("Stage Left Amp"));
  device.SetIpAddress({10, 1, 2, 3});
  const QByteArray name = Answer(device, ReadRequest(device::kCmdReadSettings, 0, 16));
  ExpectFramed(name, device::kCmdReadSettings, 21);
  EXPECT_EQ(name.mid(4, 16), QByteArray("Stage Left Amp  "));
  EXPECT_EQ(Answer(device, ReadRequest(device::kCmdReadSettings, 40, 8)).mid(4, 4),
            QByteArray::fromHex("0a010203"));
  // The family B routing matrix defaults to straight through.
  EXPECT_EQ(Answer(device, ReadRequest(device::kCmdReadSettings, 608, 16)).mid(4, 16),
            QByteArray::fromHex("9e1e1e1e1e9e1e1e1e1e9e1e1e1e1e9e"));
}

TEST(SimDevice, WritesLandAtTheirOffsetsAndNeverGrowTheImage) {
  SimDevice device(0);
  Answer(device, BlockRequest(device::kCmdWriteBlock, 340, std::vector<uint8_t>(32, 0x77)));
  ASSERT_EQ(device.Image().size(), 352);
  EXPECT_EQ(device.Image().mid(340, 8), QByteArray(8, '\x77'));
  Answer(device, Request(40, {0x01, 0x5C, 0, 0, 0x0A, 0x0B, 0x0C, 0x05}));  // offset 348
  EXPECT_EQ(device.Image().mid(348), QByteArray::fromHex("0a0b0c05"));
  SimDevice b(3);
  Answer(b, Request(46, {0, 0, 0, 0, 0, 1, 0x22, 5}));
  Answer(b, Request(52, {4, 0, 0, 0, 0, 127, 255, 254}));
  EXPECT_EQ(At(b.Settings(), kStandbyMirrorAddress), 1);
  EXPECT_EQ(At(b.Settings(), kTriggerAddress), 5);
  EXPECT_EQ(At(b.Image(), kLineOutOffsetB), 0x22);
  EXPECT_EQ(b.Settings().mid(kSleepTableAddress + 12, 3), QByteArray::fromHex("7ffffe"));
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
  // Recalling an empty slot leaves the edit buffer.
  const QByteArray before = device.Image();
  Answer(device, Request(27, {3}));
  EXPECT_EQ(device.Image(), before);
}

TEST(SimDevice, ProjectWriteAndEmptyMarkThroughProgramMemory) {
  SimDevice device(3);
  const int slot_55 = 768 + 512 * 55;
  std::vector<uint8_t> block(32, 0x5A);
  block[31] = 55;  // bytes 480..511 of the slot: the program-number byte is the last
  Answer(device, BlockRequest(device::kCmdDataBlock, slot_55 + 480, block));
  EXPECT_EQ(device.ProgramStatus(55), 55);
  EXPECT_EQ(Answer(device, ReadRequest(device::kCmdReadSettings, slot_55 + 480, 32)).mid(4, 32),
            QByteArray(reinterpret_cast<const char*>(block.data()), 32));
  Answer(device,
         Request(17, {uint8_t((slot_55 + 511) >> 8), uint8_t((slot_55 + 511) & 0xFF), 0, 0, 255}));
  EXPECT_EQ(device.ProgramStatus(55), 0xFF);
}

TEST(SimDevice, RepliesWithoutPayloadFixedMetersAndSilence) {
  SimDevice device(1);
  EXPECT_TRUE(Answer(device, Request(device::kCmdNoReply)).isEmpty());
  for (const uint8_t command : {device::kCmdKeepAlive, device::kCmdRelease, uint8_t(49)}) {
    ExpectFramed(Answer(device, Request(command, {1, 2, 3, 4, 5, 6, 7, 8})), command, 13);
  }
  EXPECT_EQ(device.ReceivedCommands(), (QList<uint8_t>{143, 58, 15, 49}));
  QByteArray payload(28, '\0');
  payload[0] = 127;
  payload[15] = 0x20;  // status byte 1: standby
  device.SetMeterPayload(payload);
  EXPECT_EQ(Answer(device, Request(device::kCmdMeters)).mid(4, 28), payload);
  // A silent device hears but neither answers nor acts.
  device.SetSilent(true);
  const QByteArray before = device.Image();
  const SimReply reply =
      device.Receive(BlockRequest(device::kCmdWriteBlock, 0, std::vector<uint8_t>(8, 1)));
  EXPECT_TRUE(reply.bytes.isEmpty());
  EXPECT_FALSE(reply.disconnect);
  EXPECT_EQ(device.Image(), before);
  EXPECT_EQ(device.ReceivedCount(), 6);
}

// A dropped device hears nothing for its while, then answers again with its memory as it was.
TEST(SimDevice, DropFallsSilentForItsWhileAndComesBack) {
  SimDevice device(0);
  device.SetFaults({.drop_after_ms = 50, .drop_for_ms = 800});
  const QByteArray gain = Request(1, {1, 0, 0, 0, 0, 0, 0, 100});
  EXPECT_FALSE(Answer(device, gain).isEmpty());
  const QByteArray before = device.Image();
  QTest::qSleep(100);
  EXPECT_TRUE(Answer(device, Request(1, {1, 0, 0, 0, 0, 0, 0, 7})).isEmpty());
  EXPECT_EQ(device.Image(), before);  // silent: heard, not acted on
  QTest::qSleep(800);
  EXPECT_FALSE(Answer(device, Request(device::kCmdKeepAlive)).isEmpty());
}

// The memories outlive the emulator in their file; a file of another type is refused untouched.
TEST(SimDevice, MemoryFileKeepsTheMemoriesAcrossARestart) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("rack.mem"));
  QString error;
  QByteArray image;
  {
    SimDevice first(3);
    ASSERT_TRUE(first.KeepMemoryIn(path, &error)) << error.toStdString();
    ASSERT_FALSE(Answer(first, Request(1, {1, 0, 0, 0, 0, 0, 0, 42})).isEmpty());
    ASSERT_TRUE(first.StoreProgram(2, first.Image()));
    ASSERT_FALSE(Answer(first, Request(device::kCmdMeters)).isEmpty());
    image = first.Image();
  }
  SimDevice again(3);
  ASSERT_TRUE(again.KeepMemoryIn(path, &error)) << error.toStdString();
  EXPECT_EQ(again.Image(), image);
  EXPECT_NE(again.Image(), SimDevice(3).Image());
  EXPECT_EQ(again.ProgramStatus(2), 2);

  const QByteArray held = [&] {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }();
  SimDevice other(0);
  EXPECT_FALSE(other.KeepMemoryIn(path, &error));
  EXPECT_TRUE(error.contains(QStringLiteral("type 0"))) << error.toStdString();
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), held);
}

}  // namespace
}  // namespace tessaly::sim
