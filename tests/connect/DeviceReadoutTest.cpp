#include "connect/DeviceReadout.h"

#include <gtest/gtest.h>

#include "ConnectRig.h"
#include "graph/ResponseCurves.h"
#include "meters/MeterPoll.h"
#include "model/EditPath.h"
#include "protocol/FamilyAOperations.h"
#include "protocol/FamilyBOperations.h"
#include "sim/SimLayout.h"

namespace tessaly::connect {
namespace {

QByteArray Tail(const protocol::ProgramData& data, int first, int count) {
  QByteArray out;
  for (int i = first; i < first + count; ++i) out.append(char(data.Tail(i).value_or(0)));
  return out;
}

QByteArray ImageOf(const protocol::ProgramData& data) {
  const auto image = data.Image();
  return QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
}

// Every image and settings byte a distinct value, so a byte read from the wrong place shows.
void FillMemories(sim::SimDevice& device) {
  QByteArray image(device.image_size(), '\0');
  for (int i = 0; i < image.size(); ++i) image[i] = static_cast<char>((i * 13 + 5) & 0xFF);
  ASSERT_TRUE(device.SetImage(image));
  QByteArray settings(sim::kSettingsSize, '\0');
  for (int i = 0; i < settings.size(); ++i) settings[i] = static_cast<char>((i * 7 + 3) & 0xFF);
  for (const auto& [address, count] :
       {std::pair(16, 24), std::pair(44, 4), std::pair(480, 15), std::pair(608, 16)}) {
    ASSERT_TRUE(device.WriteSettings(address, settings.mid(address, count)));
  }
  device.ClearReceived();
}

// The complete read-out leaves the slot holding what the device holds, read in a fixed order.
TEST(DeviceReadoutTest, FullReadOutOfBothFamiliesMirrorsTheDevice) {
  for (const int type : {device::kTypeRk540, device::kType540S, device::kTypeRk360}) {
    SCOPED_TRACE(type);
    test::ConnectRig rig;
    const auto device = rig.device(rig.ConnectOne(type, 3));
    const bool family_b = device::IsFamilyB(type);
    ASSERT_TRUE(device->ClearProgram(1));  // programs 0 and 2 stored, 1 empty
    FillMemories(*device);

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

    const protocol::SlotState& got = *rig.store.State(0);
    const auto at = [&settings](int i) { return static_cast<uint8_t>(settings[i]); };
    EXPECT_EQ(
        (std::array<uint8_t, 14>{got.standby, got.sleep_mode, got.delay_unit, got.noise_type,
                                 got.noise_level, got.meter_mode, got.lock, got.password,
                                 got.kept_settings[0], got.kept_settings[1], got.kept_settings[2],
                                 got.kept_settings[3], got.kept_settings[4], got.kept_settings[5]}),
        (std::array<uint8_t, 14>{at(16), at(17), at(18), at(32), at(33), at(45), at(22), at(23),
                                 at(24), at(25), at(26), at(27), at(28), at(29)}));
    EXPECT_EQ(got.ip, (type == device::kTypeRk360 ? std::array<uint8_t, 4>{192, 168, 0, 100}
                                                  : device->IpAddress()));

    const programs::ProgramNameList* names = rig.names.At(0);
    const int last = device::LastProgramIndex(type);
    for (int p = 0; p <= last; ++p) {
      EXPECT_EQ(names->program_status[static_cast<size_t>(p)], device->ProgramStatus(p)) << p;
      const QString expected = device->ProgramStatus(p) <= 63 ? device->ProgramName(p)
                                                              : QStringLiteral("Program Empty   ");
      EXPECT_EQ(names->program_name[static_cast<size_t>(p)], expected) << p;
    }
    EXPECT_EQ(names->current_program_name,
              QString::fromLatin1(device->ReadMemory(
                  family_b ? sim::kCurrentNameAddressB : sim::kCurrentNameAddressA, 16)));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(rig.sleep.At(0)->bytes.data()), 15),
              settings.mid(sim::kSleepTableAddress, 15));

    // The order of the reads.
    const int image_reads = family_b ? 16 : 11;
    // Then three settings reads, the IP address (not the RK-360's), the routing (540S only).
    QList<uint8_t> expected_commands =
        QList<uint8_t>(image_reads, device::kCmdReadParams) + QList<uint8_t>{device::kCmdVersions} +
        QList<uint8_t>(3 + (type != device::kTypeRk360) + family_b, device::kCmdReadSettings);
    for (int n = 0; n <= last; n += 8) expected_commands << device::kCmdProgramStatus;
    // Programs 0 and 2, the current name, the sleep table.
    expected_commands += QList<uint8_t>(4, device::kCmdReadSettings);
    EXPECT_EQ(device->ReceivedCommands(), expected_commands);
    EXPECT_EQ(result.exchanges, expected_commands.size());
    ASSERT_EQ(progress.size(), expected_commands.size());
    EXPECT_EQ(progress.last(), std::make_pair(static_cast<int>(expected_commands.size()), 90));
  }
}

// A device lost mid read-out stops it there; what was read is kept, later steps do not run, and
// during the first opening the exchange layer reports nothing.
TEST(DeviceReadoutTest, DeviceLostMidReadOutStopsThereAndKeepsWhatWasRead) {
  // The line goes after the image (the presets stay), or after the versions and one settings read.
  for (const int lost_after : {16, 16 + 1 + 1}) {
    test::ConnectRig rig;
    const auto device = rig.device(rig.ConnectOne(device::kType540S));
    FillMemories(*device);
    const QByteArray before_tail = Tail(*rig.store.Data(0), 0, 48);
    ConnectHooks hooks;
    hooks.progress = [&](int value, int) {
      if (value == lost_after) device->DisconnectOnNextPacket();
    };
    const ReadoutResult result = ReadDevice(rig.context, 0, hooks);
    const bool versions = lost_after == 16;
    EXPECT_EQ(result.stopped_at, versions ? ReadoutStep::kVersions : ReadoutStep::kSettings);
    EXPECT_EQ(result.exchanges, lost_after);
    EXPECT_EQ(device->ReceivedCount(), lost_after + 1);
    const protocol::ProgramData* data = rig.store.Data(0);
    EXPECT_EQ(ImageOf(*data), device->Image());
    const comm::DeviceTable& table = rig.comm.state().table;
    EXPECT_EQ(table.firmware_version[0], versions ? "1.1.5-B" : "1.1.4-B");
    EXPECT_EQ(table.second_version[0], versions ? "1.0.4" : "2.0.7");
    EXPECT_EQ(Tail(*data, 0, 16), versions ? before_tail.left(16) : device->Settings().left(16));
    EXPECT_EQ(Tail(*data, 16, 32), before_tail.mid(16, 32));
    EXPECT_TRUE(rig.names.At(0)->current_program_name.isEmpty() &&
                rig.sleep.At(0)->bytes == decltype(programs::SleepTable::bytes){});
    EXPECT_FALSE(rig.comm.tcp().IsConnected(0));
    EXPECT_TRUE(rig.messenger.shown.isEmpty());
  }
  test::ConnectRig rig;
  EXPECT_EQ(ReadDevice(rig.context, 33, {}).exchanges, 0);
  EXPECT_EQ(QStringList({FirmwareVersionText(1, 1, 3), FirmwareVersionText(0, 9, 9),
                         FirmwareVersionText(1, 2, 0), FirmwareVersionText(2, 0, 0)}),
            QStringList({"1.1.3", "0.9.9", "1.2.0-B", "2.0.0-B"}));
}

// Timers keep running while a read-out waits for a slow device. Whatever they ask of the line in
// that wait (a keep-alive round, a meter poll, an edit) is refused, never started inside it: the
// device hears the read-out alone, each request answered before the next goes out.
TEST(DeviceReadoutTest, RequestsArrivingDuringALongReadOutNeverNest) {
  test::ConnectRig rig;
  const auto device = rig.device(rig.ConnectOne(device::kTypeRk540));
  comm::CommState& state = rig.comm.state();
  rig.comm.EnterOnlineMode();
  rig.comm.ReportLinkLoss(true);
  state.table[0].editor_open = true;
  state.table.device_needs_read[0] = false;
  protocol::FamilyAOperations family_a(rig.store);
  protocol::FamilyBOperations family_b(rig.store);
  protocol::Dispatcher dispatcher(rig.store, family_a, family_b);
  graph::ResponseCurves curves(rig.store);
  model::EditPath edits(rig.store, curves, dispatcher);
  QTimer poll_timer;
  meters::MeterPoll poll(rig.comm, edits, 0, poll_timer);
  QList<bool> order;
  rig.comm.set_trace([&](bool outgoing, const QByteArray&) { order << outgoing; });

  QList<protocol::EditResult> edit_results;
  QTimer ticks;
  QObject::connect(&ticks, &QTimer::timeout, [&] {
    rig.comm.KeepAliveTick();
    poll.Tick();
    edit_results << dispatcher.For(0).SendGain(0, 0, 100);
  });
  ticks.start(5);
  device->ClearReceived();
  device->SetDelayMs(20);
  const ReadoutResult result = ReadDevice(rig.context, 0, {});
  ticks.stop();

  ASSERT_TRUE(result.complete());
  ASSERT_FALSE(edit_results.isEmpty());
  EXPECT_EQ(edit_results.count(protocol::EditResult::kSendFailed), edit_results.size());
  const QList<uint8_t> heard = device->ReceivedCommands();
  EXPECT_EQ(heard.size(), result.exchanges);
  for (const uint8_t refused : {device::kCmdKeepAlive, device::kCmdMeters, uint8_t{1}}) {
    EXPECT_FALSE(heard.contains(refused)) << int(refused);
  }
  for (int i = 0; i < order.size(); ++i) EXPECT_EQ(order[i], i % 2 == 0) << i;
  EXPECT_TRUE(rig.messenger.shown.isEmpty());
}

// Each device keeps its own sleep table: reading a second device leaves the first one's alone.
TEST(DeviceReadoutTest, TwoDevicesKeepTheirOwnSleepTables) {
  test::ConnectRig rig;
  const quint16 port = tessaly::test::ReservedPort();
  rig.comm.set_device_port(port);
  for (const int last : {12, 13}) {
    const int index = rig.StartTcp(device::kType540S, QStringLiteral("127.0.0.%1").arg(last), port);
    ASSERT_TRUE(rig.device(index)->WriteSettings(sim::kSleepTableAddress,
                                                 QByteArray(15, static_cast<char>(last))));
  }
  rig.WithNetwork();
  rig.ScanRange(12, 13);
  ASSERT_EQ(rig.RunTcpConnect(), ConnectOutcome::kDevicesListed);
  for (const int slot : {0, 1}) ASSERT_TRUE(ReadDevice(rig.context, slot, {}).complete());
  for (const int slot : {0, 1}) {
    const auto& bytes = rig.sleep.At(slot)->bytes;
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [&](uint8_t b) { return b == 12 + slot; }))
        << slot;
  }
}

}  // namespace
}  // namespace tessaly::connect
