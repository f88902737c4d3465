#include "connect/DeviceList.h"

#include <gtest/gtest.h>

#include <optional>

#include "ConnectRig.h"
#include "connect/IpSettings.h"
#include "connect/PortSelection.h"
#include "device/Commands.h"

namespace tessaly::connect {
namespace {

const QString kOffline = QStringLiteral("IP:127.0.0.10 - Foyer - Off-line");

TEST(DeviceListTest, OpeningAsksToConnectThenReadsAndIdentifies) {
  EXPECT_EQ(DeviceRowText(comm::kLinkUsb, QString(), QStringLiteral("Hall"), true),
            QStringLiteral("USB - Hall - On-line"));
  test::ConnectRig rig;
  const auto device = rig.device(rig.ConnectOne(device::kTypeRk540));
  device->ClearReceived();
  DeviceList list(rig.context);
  list.Load();
  EXPECT_EQ(list.OpenDevice(-1, {}).outcome, OpenOutcome::kInvalidRow);
  EXPECT_EQ(list.OpenDevice(1, {}).outcome, OpenOutcome::kInvalidRow);
  EXPECT_FALSE(rig.comm.keep_alive_held());
  std::optional<OpenResult> result(list.OpenDevice(0, {}));
  ASSERT_EQ(result->outcome, OpenOutcome::kReady);
  EXPECT_TRUE(result->read_out && result->readout.complete());
  EXPECT_EQ(rig.MessageTexts(), QStringList{QString::fromLatin1(kConnectQuestion)});
  const QList<uint8_t> heard = device->ReceivedCommands();
  EXPECT_EQ(heard.mid(0, 2), (QList<uint8_t>{device::kCmdProbeA, device::kCmdReadSettings}));
  EXPECT_EQ(heard.value(heard.size() - 1), device::kCmdIdentify);
  EXPECT_TRUE(rig.comm.state().table.device_data_valid[0]);
  EXPECT_EQ(rig.comm.state().row_text[0], "IP:127.0.0.10 - Foyer - On-line");
  // The hold travels with the result until whoever shows the editor lets it go.
  EXPECT_TRUE(result->hold && rig.comm.keep_alive_held());
  result.reset();
  EXPECT_FALSE(rig.comm.keep_alive_held());
}

// Declined, already open in an editor: nothing reaches the device.
TEST(DeviceListTest, DeclinedOrAlreadyOpenSendsNothing) {
  for (const bool open : {false, true}) {
    test::ConnectRig rig;
    const int index = rig.ConnectOne(device::kType540S);
    rig.device(index)->ClearReceived();
    rig.comm.state().table.device_needs_read[0] = !open;
    rig.comm.state().table[0].editor_open = open;
    if (!open) rig.messenger.answers.push_back(device::MessageAnswer::kNo);
    DeviceList list(rig.context);
    EXPECT_EQ(list.OpenDevice(0, {}).outcome,
              open ? OpenOutcome::kAlreadyOpen : OpenOutcome::kDeclined);
    EXPECT_EQ(rig.device(index)->ReceivedCount(), 0);
    EXPECT_FALSE(rig.comm.keep_alive_held());
    EXPECT_EQ(rig.MessageTexts(),
              QStringList{open ? "The window is already open" : kConnectQuestion});
    if (open) {
      EXPECT_EQ(rig.messenger.shown[0].title, QStringLiteral("Edit window"));
    }
  }
}

// A silent device, one whose every answer comes after the probe's 400 ms (the retry must not
// take the first probe's answer), and one lost in the read-out are reported and marked off-line.
TEST(DeviceListTest, SilentLateOrLostDeviceIsReportedAndMarkedOffline) {
  for (const int fault : {0, 1, 2}) {
    test::ConnectRig rig;
    const auto device =
        rig.device(rig.ConnectOne(fault == 2 ? device::kTypeRk540 : device::kType540S));
    device->ClearReceived();
    if (fault == 0) device->SetSilent(true);
    if (fault == 1) device->SetDelayMs(450);
    if (fault == 2) device->DisconnectOnNextPacket();
    rig.comm.state().table.device_needs_read[0] = fault != 2;
    DeviceList list(rig.context);
    EXPECT_EQ(list.OpenDevice(0, {}).outcome,
              fault == 2 ? OpenOutcome::kReadFailed : OpenOutcome::kDisconnected);
    EXPECT_EQ(rig.MessageTexts(),
              fault == 2 ? QStringList{"Device disconnected\nReading the memory image failed."}
                         : QStringList({kConnectQuestion, "Device disconnected"}));
    EXPECT_EQ(rig.comm.state().row_text[0], kOffline);
    EXPECT_FALSE(rig.comm.keep_alive_held());
    if (fault == 2) {  // the read-out failed: the row goes off-line
      const comm::CommState& state = rig.comm.state();
      EXPECT_TRUE(!state.table[0].online && state.table.device_needs_read[0]);
    }
    if (fault < 2) {
      EXPECT_EQ(device->ReceivedCommands().mid(0, 2), QList<uint8_t>(2, device::kCmdProbeA));
    }
  }
}

TEST(IpSettingsTest, SaveSendsTheAddressNoSendsNothingAndDemoCountsAsSaved) {
  test::ConnectRig rig;
  const int index = rig.ConnectOne(device::kType540S);
  protocol::SlotState& slot_state = *rig.store.State(0);
  rig.device(index)->ClearReceived();
  const std::array<QString, 4> texts = {"10", "20", "30", "40"};
  rig.messenger.answers.push_back(device::MessageAnswer::kNo);
  EXPECT_EQ(SaveDeviceIp(rig.comm, slot_state, 0, texts), IpSaveResult::kDeclined);
  EXPECT_EQ(rig.device(index)->ReceivedCount(), 0);
  EXPECT_EQ(slot_state.ip, protocol::kDefaultSlotIp);
  EXPECT_EQ(SaveDeviceIp(rig.comm, slot_state, 0, texts), IpSaveResult::kSaved);
  EXPECT_EQ(slot_state.ip, (std::array<uint8_t, 4>{10, 20, 30, 40}));
  EXPECT_EQ(rig.device(index)->IpAddress(), (std::array<uint8_t, 4>{10, 20, 30, 40}));
  EXPECT_EQ(rig.device(index)->ReceivedPackets(),
            QList<QByteArray>{QByteArray::fromHex("8d1f00780a141e2800000000f7")});

  test::ConnectRig demo;
  demo.comm.SuspendTraffic(true);
  RunDemoSetup(demo.context);
  protocol::SlotState demo_state;
  EXPECT_EQ(SaveDeviceIp(demo.comm, demo_state, 0, {"1", "2", "3", "4"}), IpSaveResult::kSaved);
  EXPECT_EQ(demo_state.ip, (std::array<uint8_t, 4>{1, 2, 3, 4}));
  demo.messenger.shown.clear();
  EXPECT_EQ(SaveDeviceIp(demo.comm, demo_state, 0, {"1", "", "3", "4"}), IpSaveResult::kBadOctet);
  EXPECT_TRUE(demo.messenger.shown.isEmpty());
}

TEST(ComSearchTest, FindsTheMappedPortsAndTakesTheHighestOrKeepsThePort) {
  for (const bool devices : {true, false}) {
    test::ConnectRig rig;
    for (int n = 1; n <= kComPortCount; ++n) {
      rig.comm.com_ports().Map(n, QStringLiteral("/nonexistent/com%1").arg(n));
    }
    if (devices) {
      rig.StartPty(device::kType540S, 5);
      rig.StartPty(device::kTypeRk360, 9);
    }
    comm::SerialLink link(rig.comm.com_ports());
    int16_t com_port = 4;
    const ComSearchResult result = SearchComPorts(link, rig.messenger, com_port);
    EXPECT_EQ(result.found, devices ? QList<int>({5, 9}) : QList<int>());
    EXPECT_EQ(com_port, devices ? 9 : 4);
    ASSERT_EQ(rig.messenger.shown.size(), 1);
    EXPECT_EQ(rig.messenger.shown[0].title, QStringLiteral("Search COM"));
    EXPECT_EQ(rig.messenger.shown[0].icon,
              devices ? device::MessageIcon::kInformation : device::MessageIcon::kExclamation);
    EXPECT_EQ(rig.messenger.shown[0].text, devices ? QStringLiteral("COM found:\nCOM5\nCOM9\n")
                                                   : QStringLiteral("COM not found"));
  }
}

}  // namespace
}  // namespace tessaly::connect
