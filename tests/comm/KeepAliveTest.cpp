#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <optional>

#include "CommRig.h"
#include "comm/TimeScale.h"

namespace tessaly::comm::test {
namespace {

// Two devices over TCP in slots 0 and 1, a demo slot 2 (registered, never on-line), on-line mode.
class TwoDevices : public ::testing::Test {
 protected:
  void SetUp() override {
    CommState& state = comm_.state();
    state.connection_mode = kLinkTcp;
    comm_.OpenTraffic();
    comm_.EnterOnlineMode();
    ASSERT_EQ(comm_.tcp().Initialise(kSlotCount), 0);
    for (int slot = 0; slot < 2; ++slot) {
      const int16_t type = slot == 0 ? 3 : 1;
      const QString address = QStringLiteral("127.0.0.%1").arg(2 + slot);
      ASSERT_EQ(host_.Start({.type = type, .address = address, .port = port_}), slot);
      comm_.table().Register(slot, {kLinkTcp, address, static_cast<int16_t>(slot), type, {}});
      ASSERT_EQ(comm_.tcp().Connect(slot, address, host_.port(slot), 2000), 0);
    }
    // A demo slot: polling it would fail (nothing is connected there) and show a message.
    comm_.table()[2].registered = true;
    comm_.table()[2].link_kind = kLinkTcp;
  }

  QList<uint8_t> Heard(int index) const { return host_.device(index)->ReceivedCommands(); }

  const quint16 port_ = tessaly::test::ReservedPort();
  sim::SimHost host_;
  tessaly::test::RecordingMessenger messenger_;
  Comm comm_{messenger_};
};

TEST_F(TwoDevices, FirstSilentGivesOneMessageAndTheSecondIsStillPolled) {
  comm_.table()[0].editor_open = true;
  QSignalSpy lost_signals(&comm_, &Comm::deviceLost);
  host_.device(0)->SetSilent(true);
  QStringList rows_while_shown;
  messenger_.on_show = [&](const device::Message&) {
    rows_while_shown << comm_.state().row_text[0];
  };

  comm_.KeepAliveTick();

  // Behind the message the device is already shown lost.
  EXPECT_EQ(rows_while_shown, QStringList{"IP:127.0.0.2 -  RK-540  - Off-line"});
  ASSERT_EQ(messenger_.shown.size(), 1);
  EXPECT_EQ(messenger_.shown.front().title, QStringLiteral("Communication problem"));
  EXPECT_TRUE(messenger_.shown.front().text.endsWith(".\nRK-540 - IP:127.0.0.2"));
  EXPECT_EQ(comm_.state().row_text[0], QStringLiteral("IP:127.0.0.2 -  RK-540  - Off-line"));
  EXPECT_TRUE(comm_.state().row_text[1].isEmpty());
  EXPECT_FALSE(comm_.table()[0].online);
  EXPECT_TRUE(comm_.table().device_needs_read[0]);
  EXPECT_EQ(Heard(0), QList<uint8_t>{device::kCmdKeepAlive});
  EXPECT_EQ(Heard(1), QList<uint8_t>{device::kCmdKeepAlive});
  EXPECT_FALSE(comm_.Busy());
  // Unlike a lost command reply, the keep-alive keeps the link; the editors hear of the loss.
  EXPECT_TRUE(comm_.tcp().IsConnected(0));
  ASSERT_EQ(lost_signals.count(), 1);
  EXPECT_EQ(lost_signals.front().back().toString(), QString::fromLatin1(kLostKeepAliveReason));

  // An off-line slot is not polled again, so the next tick brings no second message.
  host_.device(0)->ClearReceived();
  comm_.KeepAliveTick();
  EXPECT_EQ(messenger_.shown.size(), 1);
  EXPECT_TRUE(Heard(0).isEmpty());
}

TEST_F(TwoDevices, TickSendsNothingWhenHeldOrBusy) {
  {
    const KeepAliveHold hold(comm_);
    comm_.KeepAliveTick();
  }
  // A tick inside another exchange's wait starts nothing.
  host_.device(1)->SetDelayMs(ScaledMs(300));
  QTimer::singleShot(0, [this] { comm_.KeepAliveTick(); });
  ASSERT_TRUE(comm_.Exchange(1, device::kCmdVersions).answered());
  EXPECT_TRUE(Heard(0).isEmpty());
  EXPECT_EQ(Heard(1), QList<uint8_t>{device::kCmdVersions});
  // The hold is gone with its guard.
  comm_.KeepAliveTick();
  EXPECT_EQ(Heard(0), QList<uint8_t>{device::kCmdKeepAlive});
}

// The schedule: a first round after a longer pause, then one a second; a tick while held or
// off-line does nothing and keeps the interval it had.
TEST_F(TwoDevices, ScheduleStartsSlowThenTicksEverySecond) {
  KeepAliveTimer& timer = comm_.keep_alive();
  std::optional<KeepAliveHold> hold(std::in_place, comm_);
  timer.Start();
  ASSERT_TRUE(timer.IsRunning());
  EXPECT_EQ(timer.interval(), ScaledMs(KeepAliveTimer::kFirstMs));
  QTest::qWait(ScaledMs(KeepAliveTimer::kFirstMs) * 3 / 2);
  EXPECT_EQ(timer.interval(), ScaledMs(KeepAliveTimer::kFirstMs));
  EXPECT_TRUE(Heard(0).isEmpty());
  hold.reset();
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return timer.interval() == ScaledMs(KeepAliveTimer::kIntervalMs); }, 5000));
  EXPECT_FALSE(Heard(0).isEmpty());
  timer.Start();  // running already: the schedule goes on
  EXPECT_EQ(timer.interval(), ScaledMs(KeepAliveTimer::kIntervalMs));
  timer.Stop();
  EXPECT_FALSE(timer.IsRunning());
}

TEST_F(TwoDevices, LeavingOnlineModeReleasesOnlineDevicesAndClosesEveryLink) {
  comm_.table().device_data_valid[0] = 1;
  comm_.table()[1].online = false;
  ASSERT_TRUE(comm_.LeaveOnlineMode());
  EXPECT_EQ(Heard(0), QList<uint8_t>{device::kCmdRelease});
  EXPECT_TRUE(Heard(1).isEmpty());
  for (int slot = 0; slot < kSlotCount; ++slot) EXPECT_FALSE(comm_.tcp().IsConnected(slot));
  EXPECT_FALSE(comm_.online_mode());
  EXPECT_EQ(comm_.table().device_data_valid[0], 0);
}

TEST(UsbRelease, ReleaseClosesThePortAndAFailingOneAbortsLeavingOnlineMode) {
  for (const bool fails : {false, true}) {
    CommRig rig(Transport::kPty, 0);
    rig.comm().EnterOnlineMode();
    ASSERT_TRUE(rig.comm().Exchange(0, device::kCmdKeepAlive).answered());  // opens the port
    // Command 15 waits 20 s for its reply; a dropped line fails it at once instead.
    if (fails) rig.device()->DisconnectOnNextPacket();
    EXPECT_EQ(rig.comm().LeaveOnlineMode(), !fails);
    EXPECT_EQ(rig.comm().online_mode(), fails);
    EXPECT_EQ(rig.device()->ReceivedCommands().back(), device::kCmdRelease);
    if (!fails) {
      EXPECT_FALSE(rig.comm().serial().IsOpen());
    }
  }
}

}  // namespace
}  // namespace tessaly::comm::test
