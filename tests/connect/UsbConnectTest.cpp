#include "connect/UsbConnect.h"

#include <gtest/gtest.h>

#include "ConnectRig.h"
#include "device/Commands.h"

namespace tessaly::connect {
namespace {

constexpr int kCom = 3;

struct Seen {
  QStringList status;
  QList<std::pair<int, int>> progress;
};

ConnectHooks Recording(Seen& seen, int16_t demo_type = device::kType540S) {
  return {[&seen](const QString& text) { seen.status << text; },
          [&seen](int value, int maximum) {
            seen.progress.append({value, maximum});
          },
          [demo_type](int16_t preset) {
            EXPECT_EQ(preset, device::kType540S);
            return demo_type;
          }};
}

TEST(UsbConnectTest, EachStageFindsItsDeviceType) {
  const std::tuple<int, int, uint8_t> cases[] = {{device::kType540S, 57600, device::kCmdProbeA},
                                                 {device::kTypeRk540, 57600, device::kCmdProbeA},
                                                 {device::kTypeRk360, 9600, device::kCmdProbeB},
                                                 {device::kTypeRl4800, 9600, device::kCmdProbeB}};
  for (const auto& [type, baud, probe] : cases) {
    SCOPED_TRACE(type);
    test::ConnectRig rig;
    const int index = rig.StartPty(type, kCom, QStringLiteral("Stage %1").arg(type));
    rig.comm.state().com_port = kCom;
    Seen seen;
    UsbConnect usb(rig.context);
    ASSERT_EQ(usb.Run(Recording(seen)), ConnectOutcome::kDevicesListed);

    const comm::DeviceTable& table = rig.comm.state().table;
    EXPECT_EQ(std::tuple(table.device_type[0], table[0].registered, table[0].online,
                         table[0].device_id, table[0].link_kind, table.device_name[0],
                         table.device_needs_read[0], rig.comm.state().last_slot),
              std::tuple(type, true, true, 0, comm::kLinkUsb,
                         QStringLiteral("Stage %1").arg(type).leftJustified(16), false, 0));
    EXPECT_TRUE(rig.messenger.shown.isEmpty());
    // The port of the stage that found the device stays open at that stage's speed.
    EXPECT_TRUE(rig.comm.serial().IsOpen());
    EXPECT_EQ(rig.sim.line_speed(index), baud);
    const QList<uint8_t> heard = rig.device(index)->ReceivedCommands();
    EXPECT_EQ(heard.value(0), probe);
    EXPECT_EQ(heard.last(), device::kCmdReadSettings);
    EXPECT_EQ(seen.status, QStringList{"Reading device [ID:00], please wait....."});
    EXPECT_EQ(seen.progress, (QList<std::pair<int, int>>{{0, 504}, {1, 504}}));
  }
}

// Stage A probes twice at 57600 baud; stages B and C twice each at 9600 with the RK-360's probe.
TEST(UsbConnectTest, NoAnswerRunsThreeStagesOfTwoProbesThenAsksForDemo) {
  for (const int type : {device::kType540S, device::kTypeRk360}) {
    test::ConnectRig rig;
    const int index = rig.StartPty(type, kCom);  // a silent device hears the stages at its speed
    rig.device(index)->SetSilent(true);
    rig.comm.state().com_port = kCom;
    rig.messenger.answers.push_back(device::MessageAnswer::kNo);
    Seen seen;
    UsbConnect usb(rig.context);
    EXPECT_EQ(usb.Run(Recording(seen)), ConnectOutcome::kStayOffline);
    EXPECT_EQ(rig.device(index)->ReceivedCommands(), type == device::kType540S
                                                         ? QList<uint8_t>(2, device::kCmdProbeA)
                                                         : QList<uint8_t>(4, device::kCmdProbeB));
    ASSERT_EQ(rig.messenger.shown.size(), 1);
    EXPECT_EQ(rig.messenger.shown[0].text, QString::fromLatin1(kUsbDemoQuestion));
    EXPECT_TRUE(rig.messenger.shown[0].title == "Warning" &&
                rig.messenger.shown[0].buttons == device::MessageButtons::kYesNo);
    EXPECT_FALSE(rig.comm.state().table[0].registered || rig.comm.suspended());
    EXPECT_TRUE(seen.status.isEmpty());
  }
}

TEST(UsbConnectTest, DemoModeTakesTheChosenTypeWithoutTraffic) {
  test::ConnectRig rig;
  rig.comm.state().com_port = 60;  // nothing behind it: every open fails
  rig.comm.com_ports().Map(60, QStringLiteral("/nonexistent/tessaly-com60"));
  Seen seen;
  UsbConnect usb(rig.context);
  EXPECT_EQ(usb.Run(Recording(seen, device::kTypeRk360)), ConnectOutcome::kDemo);
  const comm::CommState& state = rig.comm.state();
  EXPECT_TRUE(rig.comm.suspended());
  EXPECT_TRUE(state.demo_type == device::kTypeRk360 &&
              state.table.device_type[0] == state.demo_type);
  EXPECT_TRUE(state.table[0].registered && !state.table[0].online);
  EXPECT_EQ(state.last_slot, 0);
  EXPECT_EQ(rig.names.At(0)->current_program_name, QStringLiteral("Factory Preset"));
  EXPECT_EQ(rig.names.At(0)->program_name[55], QStringLiteral("Program Empty   "));
  EXPECT_FALSE(rig.comm.serial().IsOpen());
}

}  // namespace
}  // namespace tessaly::connect
