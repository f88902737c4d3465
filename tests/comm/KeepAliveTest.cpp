#include <gtest/gtest.h>

#include <QSignalSpy>

#include "CommRig.h"
#include "comm/Commands.h"

namespace tessaly::comm::test {
namespace {

// Two devices over TCP in slots 0 and 1, a demo slot 2 (registered, never on-line), on-line mode.
class TwoDevices : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 2; ++i) {
      sim::SimDeviceConfig config;
      config.type = i == 0 ? 3 : 1;
      config.address = QStringLiteral("127.0.0.%1").arg(2 + i);
      config.port = 0;
      QString error;
      ASSERT_EQ(host_.Start(config, &error), i) << error.toStdString();
    }
    CommState& state = comm_.state();
    state.connection_mode = kLinkTcp;
    state.comm_ready = true;
    state.online_mode = true;
    ASSERT_EQ(comm_.tcp().Initialise(kSlotCount), 0);
    for (int slot = 0; slot < 2; ++slot) {
      comm_.table().Register(slot, {kLinkTcp,
                                    host_.address(slot),
                                    static_cast<int16_t>(slot),
                                    static_cast<int16_t>(slot == 0 ? 3 : 1),
                                    {}});
      ASSERT_EQ(comm_.tcp().Connect(slot, host_.address(slot), host_.port(slot), 2000), 0);
    }
    // A demo slot: polling it would fail (nothing is connected there) and show a message.
    comm_.table()[2].registered = true;
    comm_.table()[2].link_kind = kLinkTcp;
  }

  QList<uint8_t> Heard(int index) const { return host_.device(index)->ReceivedCommands(); }

  sim::SimHost host_;
  tessaly::test::RecordingMessenger messenger_;
  Comm comm_{messenger_};
};

TEST_F(TwoDevices, TickPollsEveryRegisteredOnlineSlot) {
  comm_.KeepAliveTick();
  EXPECT_EQ(Heard(0), QList<uint8_t>{kCmdKeepAlive});
  EXPECT_EQ(Heard(1), QList<uint8_t>{kCmdKeepAlive});
  EXPECT_TRUE(messenger_.shown.isEmpty());
  EXPECT_TRUE(comm_.state().tx_idle);
}

TEST_F(TwoDevices, FirstSilentGivesOneMessageAndTheSecondIsStillPolled) {
  comm_.table()[0].editor_open = true;
  QSignalSpy close_requests(&comm_, &Comm::EditorCloseRequested);
  host_.device(0)->SetSilent(true);

  comm_.KeepAliveTick();

  ASSERT_EQ(messenger_.shown.size(), 1);
  EXPECT_EQ(messenger_.shown.front().title, QStringLiteral("Communication problem"));
  EXPECT_TRUE(comm_.state().row_text[0].endsWith(QStringLiteral(" - Off-line")));
  EXPECT_EQ(comm_.state().row_text[0],
            QStringLiteral("IP:") + host_.address(0) + QStringLiteral(" -  RK-540  - Off-line"));
  EXPECT_TRUE(comm_.state().row_text[1].isEmpty());
  EXPECT_FALSE(comm_.table()[0].online);
  EXPECT_TRUE(comm_.table().device_needs_read[0]);
  EXPECT_EQ(comm_.table().device_data_valid[0], 0);
  EXPECT_EQ(Heard(1), QList<uint8_t>{kCmdKeepAlive});
  // Unlike a lost command reply, the keep-alive keeps the link and the editor.
  EXPECT_TRUE(comm_.tcp().IsConnected(0));
  EXPECT_EQ(close_requests.count(), 0);

  // An off-line slot is not polled again, so the next tick brings no second message.
  host_.device(0)->ClearReceived();
  comm_.KeepAliveTick();
  EXPECT_EQ(messenger_.shown.size(), 1);
  EXPECT_TRUE(Heard(0).isEmpty());
}

TEST_F(TwoDevices, TickSendsNothingWhenHeldOffLineOrBusy) {
  struct Case {
    const char* name;
    std::function<void(CommState&)> arrange;
  };
  const Case cases[] = {
      {"OnlineModeOff", [](CommState& s) { s.online_mode = false; }},
      {"KeepAliveHold", [](CommState& s) { s.keep_alive_hold = true; }},
      // A tick never starts an exchange while another one is running.
      {"ExchangeRunning", [](CommState& s) { s.tx_idle = false; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CommState saved = comm_.state();
    c.arrange(comm_.state());
    comm_.KeepAliveTick();
    EXPECT_TRUE(Heard(0).isEmpty());
    EXPECT_TRUE(Heard(1).isEmpty());
    comm_.state() = saved;
  }
}

TEST_F(TwoDevices, LeavingOnlineModeReleasesEveryOnlineDeviceAndClosesTheLinks) {
  comm_.table().device_data_valid[1] = 1;
  ASSERT_TRUE(comm_.LeaveOnlineMode());
  EXPECT_EQ(Heard(0), QList<uint8_t>{kCmdRelease});
  EXPECT_EQ(Heard(1), QList<uint8_t>{kCmdRelease});
  for (int slot = 0; slot < kSlotCount; ++slot) EXPECT_FALSE(comm_.tcp().IsConnected(slot));
  EXPECT_FALSE(comm_.state().online_mode);
  EXPECT_EQ(comm_.table().device_data_valid[1], 0);
}

TEST_F(TwoDevices, OfflineSlotIsNotReleased) {
  comm_.table()[1].online = false;
  ASSERT_TRUE(comm_.ReleaseAllDevices(false));
  EXPECT_EQ(Heard(0), QList<uint8_t>{kCmdRelease});
  EXPECT_TRUE(Heard(1).isEmpty());
  EXPECT_FALSE(comm_.tcp().IsConnected(1));
}

TEST(UsbRelease, FailingReleaseAbortsLeavingOnlineMode) {
  CommRig rig(Transport::kPty, 0);
  rig.state().online_mode = true;
  ASSERT_EQ(rig.comm().TxCommand(0, kCmdKeepAlive), 0);  // opens the port
  // Command 15 waits 20 s for its reply; a dropped line fails it at once instead.
  rig.device()->DisconnectOnNextPacket();
  EXPECT_FALSE(rig.comm().LeaveOnlineMode());
  EXPECT_TRUE(rig.state().online_mode);
}

TEST(UsbRelease, ReleaseOverUsbClosesThePort) {
  CommRig rig(Transport::kPty, 0);
  rig.state().online_mode = true;
  ASSERT_EQ(rig.comm().TxCommand(0, kCmdKeepAlive), 0);
  ASSERT_TRUE(rig.comm().serial().IsOpen());
  ASSERT_TRUE(rig.comm().LeaveOnlineMode());
  EXPECT_EQ(rig.device()->ReceivedCommands().back(), kCmdRelease);
  EXPECT_FALSE(rig.comm().serial().IsOpen());
  EXPECT_FALSE(rig.state().online_mode);
}

}  // namespace
}  // namespace tessaly::comm::test
