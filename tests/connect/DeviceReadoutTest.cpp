#include "connect/DeviceReadout.h"

#include <gtest/gtest.h>

#include "ConnectRig.h"
#include "comm/Commands.h"
#include "comm/DeviceTypes.h"
#include "connect/DeviceList.h"
#include "connect/TcpConnect.h"
#include "sim/SimLayout.h"

namespace tessaly::connect {
namespace {

const QString kAddress = QStringLiteral("127.0.0.10");

// Connects one emulated device over TCP/IP into slot 0, as the connect window does.
int ConnectOne(test::ConnectRig& rig, int type, int programs = 0) {
  const quint16 port = test::FreePort(kAddress);
  rig.comm.set_device_port(port);
  sim::SimDeviceConfig config;
  config.type = type;
  config.address = kAddress;
  config.port = port;
  config.name = QStringLiteral("Readout %1").arg(type);
  config.programs = programs;
  config.ip = std::array<uint8_t, 4>{10, 1, 2, 3};
  config.versions.firmware = {1, 1, 4};
  config.versions.second = {2, 0, 7};
  QString error;
  const int index = rig.sim.Start(config, &error);
  EXPECT_GE(index, 0) << error.toStdString();
  rig.WithNetwork();
  rig.session.config.single = {127, 0, 0, 10};
  rig.comm.state().connection_mode = comm::kLinkTcp;
  EXPECT_EQ(rig.RunTcpConnect(), ConnectOutcome::kDevicesListed);
  EXPECT_EQ(rig.comm.state().last_slot, 0);
  return index;
}

// Gives the device settings worth reading: every settings byte a distinct value.
void FillSettings(sim::SimDevice& device) {
  QByteArray settings(sim::kSettingsSize, '\0');
  for (int i = 0; i < settings.size(); ++i) settings[i] = static_cast<char>((i * 7 + 3) & 0xFF);
  ASSERT_TRUE(device.WriteSettings(16, settings.mid(16, 24)));
  ASSERT_TRUE(device.WriteSettings(44, settings.mid(44, 4)));
  ASSERT_TRUE(device.WriteSettings(sim::kSleepTableAddress, settings.mid(480, 15)));
  ASSERT_TRUE(device.WriteSettings(sim::kRoutingAddress, settings.mid(608, 16)));
}

QByteArray Tail(const protocol::ProgramData& data, int first, int count) {
  QByteArray out;
  for (int i = first; i < first + count; ++i)
    out.append(static_cast<char>(data.Tail(i).value_or(0)));
  return out;
}

QByteArray ImageOf(const protocol::ProgramData& data) {
  const auto image = data.Image();
  return QByteArray(reinterpret_cast<const char*>(image.data()),
                    static_cast<qsizetype>(image.size()));
}

QByteArray DistinctImage(int size) {
  QByteArray image(size, '\0');
  for (int i = 0; i < size; ++i) image[i] = static_cast<char>((i * 13 + 5) & 0xFF);
  return image;
}

TEST(DeviceReadoutTest, VersionTexts) {
  EXPECT_EQ(FirmwareVersionText(1, 1, 4), QStringLiteral("1.1.4-B"));
  EXPECT_EQ(FirmwareVersionText(1, 1, 3), QStringLiteral("1.1.3"));
  EXPECT_EQ(FirmwareVersionText(1, 2, 0), QStringLiteral("1.2.0-B"));
  EXPECT_EQ(FirmwareVersionText(0, 9, 9), QStringLiteral("0.9.9"));
  EXPECT_EQ(FirmwareVersionText(2, 0, 0), QStringLiteral("2.0.0-B"));
  EXPECT_EQ(SecondVersionText(1, 0, 4), QStringLiteral("1.0.4"));
}

// The complete read-out leaves the slot holding what the device holds, read in a fixed order.
TEST(DeviceReadoutTest, FullReadOutOfBothFamiliesMirrorsTheDevice) {
  for (const int type : {comm::kTypeRk540, comm::kType540S, comm::kTypeRk360}) {
    SCOPED_TRACE(type);
    test::ConnectRig rig;
    const int index = ConnectOne(rig, type, 3);
    const auto device = rig.device(index);
    const bool family_b = comm::IsFamilyB(type);
    ASSERT_TRUE(device->SetImage(DistinctImage(device->image_size())));
    FillSettings(*device);
    ASSERT_TRUE(device->ClearProgram(1));  // programs 0 and 2 stored, 1 empty
    device->ClearReceived();

    QList<std::pair<int, int>> progress;
    ConnectHooks hooks;
    hooks.progress = [&](int value, int maximum) { progress.append({value, maximum}); };
    const ReadoutResult result = ReadDevice(rig.context, 0, hooks);
    ASSERT_TRUE(result.complete()) << static_cast<int>(result.stopped_at);

    const protocol::ProgramData* data = rig.store.Data(0);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->family(), family_b ? protocol::Family::kB : protocol::Family::kA);
    EXPECT_EQ(ImageOf(*data), device->Image());
    const QByteArray settings = device->Settings();
    EXPECT_EQ(Tail(*data, 0, 48), settings.left(48));
    // Only the 540S has a routing matrix to read.
    EXPECT_EQ(Tail(*data, 608, 16), family_b ? settings.mid(608, 16) : QByteArray(16, '\0'));

    const comm::DeviceTable& table = rig.comm.state().table;
    EXPECT_EQ(table.firmware_version[0], QStringLiteral("1.1.4-B"));
    EXPECT_EQ(table.second_version[0], QStringLiteral("2.0.7"));
    EXPECT_EQ(table.device_name[0], device->Name());

    const protocol::SlotState* slot_state = rig.store.State(0);
    EXPECT_EQ(slot_state->standby, static_cast<uint8_t>(settings[16]));
    EXPECT_EQ(slot_state->sleep_mode, static_cast<uint8_t>(settings[17]));
    EXPECT_EQ(slot_state->delay_unit, static_cast<uint8_t>(settings[18]));
    EXPECT_EQ(slot_state->noise_type, static_cast<uint8_t>(settings[32]));
    EXPECT_EQ(slot_state->noise_level, static_cast<uint8_t>(settings[33]));
    EXPECT_EQ(slot_state->meter_mode, static_cast<uint8_t>(settings[45]));
    EXPECT_EQ(slot_state->lock, static_cast<uint8_t>(settings[22]));
    EXPECT_EQ(slot_state->password, static_cast<uint8_t>(settings[23]));
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(slot_state->kept_settings[i], static_cast<uint8_t>(settings[24 + i])) << i;
    }
    const std::array<uint8_t, 4> expected_ip =
        type == comm::kTypeRk360 ? std::array<uint8_t, 4>{192, 168, 0, 100} : device->IpAddress();
    EXPECT_EQ(slot_state->ip, expected_ip);

    const programs::ProgramNameList* names = rig.names.At(0);
    const int last = comm::LastProgramIndex(type);
    for (int p = 0; p <= last; ++p) {
      EXPECT_EQ(names->program_status[static_cast<size_t>(p)], device->ProgramStatus(p)) << p;
      const QString expected = device->ProgramStatus(p) <= 63 ? device->ProgramName(p)
                                                              : QStringLiteral("Program Empty   ");
      EXPECT_EQ(names->program_name[static_cast<size_t>(p)], expected) << p;
    }
    EXPECT_EQ(names->current_program_name,
              QString::fromLatin1(device->ReadMemory(
                  family_b ? sim::kCurrentNameAddressB : sim::kCurrentNameAddressA, 16)));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(rig.sleep.bytes.data()), 15),
              settings.mid(sim::kSleepTableAddress, 15));

    // The order of the reads.
    QList<uint8_t> expected_commands;
    const int image_reads = family_b ? 16 : 11;
    for (int i = 0; i < image_reads; ++i) expected_commands << comm::kCmdReadParams;
    expected_commands << comm::kCmdVersions;
    expected_commands << comm::kCmdReadSettings << comm::kCmdReadSettings << comm::kCmdReadSettings;
    if (type != comm::kTypeRk360) expected_commands << comm::kCmdReadSettings;  // IP address
    if (family_b) expected_commands << comm::kCmdReadSettings;                  // routing
    for (int n = 0; n <= last; n += 8) expected_commands << comm::kCmdProgramStatus;
    expected_commands << comm::kCmdReadSettings << comm::kCmdReadSettings;  // programs 0 and 2
    expected_commands << comm::kCmdReadSettings << comm::kCmdReadSettings;  // current, sleep
    EXPECT_EQ(device->ReceivedCommands(), expected_commands);
    EXPECT_EQ(result.exchanges, expected_commands.size());
    ASSERT_EQ(progress.size(), expected_commands.size());
    EXPECT_EQ(progress.last(), std::make_pair(static_cast<int>(expected_commands.size()), 90));

    // Program names are read at their slot's name field, the settings in 16-byte steps.
    const QList<QByteArray> packets = device->ReceivedPackets();
    const auto address = [](const QByteArray& packet) {
      return (static_cast<uint8_t>(packet[4]) << 8) | static_cast<uint8_t>(packet[5]);
    };
    const int names_at = static_cast<int>(packets.size()) - 4;
    EXPECT_EQ(address(packets[names_at]), family_b ? 1232 : 832);
    EXPECT_EQ(address(packets[names_at + 1]), family_b ? 1232 + 2 * 512 : 832 + 2 * 352);
    EXPECT_EQ(address(packets[image_reads + 3]), 32);
    EXPECT_EQ(static_cast<uint8_t>(packets[image_reads - 1][6]), 32);
  }
}

TEST(DeviceReadoutTest, DeviceLostMidReadOutStopsThereAndKeepsWhatWasRead) {
  test::ConnectRig rig;
  const int index = ConnectOne(rig, comm::kType540S);
  const auto device = rig.device(index);
  ASSERT_TRUE(device->SetImage(DistinctImage(device->image_size())));
  FillSettings(*device);
  device->ClearReceived();
  const QByteArray before_tail = Tail(*rig.store.Data(0), 0, 48);

  // The line goes after the image, the versions and the first settings read.
  constexpr int kLostAfter = 16 + 1 + 1;
  ConnectHooks hooks;
  hooks.progress = [&](int value, int) {
    if (value == kLostAfter) device->DisconnectOnNextPacket();
  };
  const ReadoutResult result = ReadDevice(rig.context, 0, hooks);
  EXPECT_EQ(result.stopped_at, ReadoutStep::kSettings);
  EXPECT_EQ(result.exchanges, kLostAfter);
  EXPECT_EQ(device->ReceivedCount(), kLostAfter + 1);

  const protocol::ProgramData* data = rig.store.Data(0);
  EXPECT_EQ(ImageOf(*data), device->Image());
  EXPECT_EQ(rig.comm.state().table.firmware_version[0], QStringLiteral("1.1.4-B"));
  EXPECT_EQ(Tail(*data, 0, 16), device->Settings().left(16));
  EXPECT_EQ(Tail(*data, 16, 32), before_tail.mid(16, 32));
  // Later steps did not run: the names keep their empty defaults and the sleep table stays zero.
  EXPECT_EQ(rig.names.At(0)->current_program_name, QString());
  EXPECT_EQ(rig.sleep.bytes, (std::array<uint8_t, 15>{}));
  EXPECT_FALSE(rig.comm.tcp().IsConnected(0));
  // During the first opening a lost reply is not reported by the exchange layer.
  EXPECT_TRUE(rig.messenger.shown.isEmpty());
}

TEST(DeviceReadoutTest, MissingVersionsReplyKeepsThePresetTexts) {
  test::ConnectRig rig;
  const int index = ConnectOne(rig, comm::kTypeRk540);
  const auto device = rig.device(index);
  device->ClearReceived();
  ConnectHooks hooks;
  hooks.progress = [&](int value, int) {
    if (value == 11) device->DisconnectOnNextPacket();
  };
  const ReadoutResult result = ReadDevice(rig.context, 0, hooks);
  EXPECT_EQ(result.stopped_at, ReadoutStep::kVersions);
  EXPECT_EQ(rig.comm.state().table.firmware_version[0], QStringLiteral("1.1.5-B"));
  EXPECT_EQ(rig.comm.state().table.second_version[0], QStringLiteral("1.0.4"));
}

TEST(DeviceReadoutTest, SlotOutsideTheTableReadsNothing) {
  test::ConnectRig rig;
  const ReadoutResult result = ReadDevice(rig.context, 33, {});
  EXPECT_FALSE(result.complete());
  EXPECT_EQ(result.exchanges, 0);
}

}  // namespace
}  // namespace tessaly::connect
