#include "connect/UsbConnect.h"

#include <gtest/gtest.h>

#include "ConnectRig.h"
#include "comm/Commands.h"
#include "comm/DeviceTypes.h"

namespace tessaly::connect {
namespace {

constexpr int kCom = 3;

struct Seen {
  QStringList status;
  QList<std::pair<int, int>> progress;
};

ConnectHooks Recording(Seen& seen, int16_t demo_type = comm::kType540S) {
  ConnectHooks hooks;
  hooks.status = [&seen](const QString& text) { seen.status << text; };
  hooks.progress = [&seen](int value, int maximum) { seen.progress.append({value, maximum}); };
  hooks.choose_demo_type = [demo_type](int16_t preset) {
    EXPECT_EQ(preset, comm::kType540S);
    return demo_type;
  };
  return hooks;
}

TEST(UsbConnectTest, EachStageFindsItsDeviceType) {
  struct Case {
    int type;
    int baud;
    uint8_t probe;
  };
  const Case cases[] = {{comm::kType540S, 57600, comm::kCmdProbeA},
                        {comm::kTypeRk540, 57600, comm::kCmdProbeA},
                        {comm::kTypeRk360, 9600, comm::kCmdProbeB},
                        {comm::kTypeRl4800, 9600, comm::kCmdProbeB}};
  for (const Case& c : cases) {
    test::ConnectRig rig;
    const int index = rig.StartPty(c.type, kCom, QStringLiteral("Stage %1").arg(c.type));
    rig.comm.state().com_port = kCom;
    Seen seen;
    UsbConnect usb(rig.context);
    ASSERT_EQ(usb.Run(Recording(seen)), ConnectOutcome::kDevicesListed) << c.type;

    const comm::DeviceTable& table = rig.comm.state().table;
    EXPECT_EQ(table.device_type[0], c.type);
    EXPECT_TRUE(table[0].registered);
    EXPECT_TRUE(table[0].online);
    EXPECT_EQ(table[0].device_id, 0);
    EXPECT_EQ(table[0].link_kind, comm::kLinkUsb);
    EXPECT_EQ(table.device_name[0], QStringLiteral("Stage %1").arg(c.type).leftJustified(16));
    EXPECT_FALSE(table.device_needs_read[0]);
    EXPECT_EQ(rig.comm.state().last_slot, 0);
    EXPECT_TRUE(rig.messenger.shown.isEmpty());
    // The port of the stage that found the device stays open at that stage's speed.
    EXPECT_TRUE(rig.comm.serial().IsOpen());
    EXPECT_EQ(rig.sim.line_speed(index), c.baud);

    const QList<uint8_t> heard = rig.device(index)->ReceivedCommands();
    ASSERT_GE(heard.size(), 2);
    EXPECT_EQ(heard[0], c.probe) << c.type;
    EXPECT_EQ(heard.last(), comm::kCmdReadSettings);
    ASSERT_EQ(seen.status.size(), 1);
    EXPECT_EQ(seen.status[0], QStringLiteral("Reading device [ID:00], please wait....."));
    ASSERT_EQ(seen.progress.size(), 2);
    EXPECT_EQ(seen.progress[0], std::make_pair(0, 504));
    EXPECT_EQ(seen.progress[1], std::make_pair(1, 504));
  }
}

TEST(UsbConnectTest, NoAnswerRunsThreeStagesOfTwoProbesThenAsksForDemo) {
  test::ConnectRig rig;
  // One silent device per line speed hears the stages at its speed.
  const int fast = rig.StartPty(comm::kType540S, kCom);
  rig.device(fast)->SetSilent(true);
  rig.comm.state().com_port = kCom;
  rig.messenger.answers.push_back(comm::MessageAnswer::kNo);
  Seen seen;
  UsbConnect usb(rig.context);
  EXPECT_EQ(usb.Run(Recording(seen)), ConnectOutcome::kStayOffline);
  EXPECT_EQ(rig.device(fast)->ReceivedCommands(),
            (QList<uint8_t>{comm::kCmdProbeA, comm::kCmdProbeA}));
  ASSERT_EQ(rig.messenger.shown.size(), 1);
  EXPECT_EQ(rig.messenger.shown[0].text, QString::fromLatin1(kUsbDemoQuestion));
  EXPECT_EQ(rig.messenger.shown[0].title, QStringLiteral("Warning"));
  EXPECT_EQ(rig.messenger.shown[0].buttons, comm::MessageButtons::kYesNo);
  EXPECT_FALSE(rig.comm.state().table[0].registered);
  EXPECT_FALSE(rig.comm.state().comm_suspended);

  test::ConnectRig slow_rig;
  const int slow = slow_rig.StartPty(comm::kTypeRk360, kCom);
  slow_rig.device(slow)->SetSilent(true);
  slow_rig.comm.state().com_port = kCom;
  slow_rig.messenger.answers.push_back(comm::MessageAnswer::kNo);
  UsbConnect slow_usb(slow_rig.context);
  EXPECT_EQ(slow_usb.Run(Recording(seen)), ConnectOutcome::kStayOffline);
  // Stages B and C both run at 9600 baud with the RK-360's probe.
  EXPECT_EQ(slow_rig.device(slow)->ReceivedCommands(), (QList<uint8_t>(4, comm::kCmdProbeB)));
  EXPECT_TRUE(seen.status.isEmpty());
}

TEST(UsbConnectTest, DemoModeTakesTheChosenTypeWithoutTraffic) {
  test::ConnectRig rig;
  rig.comm.state().com_port = 60;  // nothing behind it: every open fails
  rig.comm.com_ports().Map(60, QStringLiteral("/nonexistent/tessaly-com60"));
  Seen seen;
  UsbConnect usb(rig.context);
  EXPECT_EQ(usb.Run(Recording(seen, comm::kTypeRk360)), ConnectOutcome::kDemo);
  const comm::CommState& state = rig.comm.state();
  EXPECT_TRUE(state.comm_suspended);
  EXPECT_EQ(state.demo_type, comm::kTypeRk360);
  EXPECT_EQ(state.table.device_type[0], comm::kTypeRk360);
  EXPECT_TRUE(state.table[0].registered);
  EXPECT_FALSE(state.table[0].online);
  EXPECT_EQ(state.table.device_name[0], comm::ModelName(comm::kTypeRk360));
  EXPECT_EQ(state.last_slot, 0);
  const programs::ProgramNameList* names = rig.names.At(0);
  ASSERT_NE(names, nullptr);
  EXPECT_EQ(names->current_program_name, QStringLiteral("Factory Preset"));
  EXPECT_EQ(names->program_name[55], QStringLiteral("Program Empty   "));
  EXPECT_FALSE(rig.comm.serial().IsOpen());
}

}  // namespace
}  // namespace tessaly::connect
