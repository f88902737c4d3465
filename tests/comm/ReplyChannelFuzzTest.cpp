#include <gtest/gtest.h>

#include <QBuffer>
#include <QDeadlineTimer>
#include <QThread>

#include "comm/LinkIo.h"
#include "comm/Packet.h"
#include "comm/ReplyChannel.h"

namespace tessaly::comm {
namespace {

QByteArray Plain(uint8_t command) { return FramePacket(0, command, {}, {}, 1); }

// Found by the reply fuzzer: a late answer as long as the awaited reply, then too little of our
// own. The receive fails, and a failed receive must hand back nothing, as every other one does.
TEST(ReplyChannelFuzz, FailedReceiveAfterALateAnswerHandsBackNothing) {
  ReplyChannel channel;
  QBuffer sent;
  sent.open(QIODevice::ReadWrite);
  ASSERT_TRUE(channel.Send(sent, Plain(device::kCmdIdentify)));
  QThread::msleep(50);  // a late answer is owed for as long as its request waited
  QByteArray nothing;
  QBuffer silent(&nothing);
  silent.open(QIODevice::ReadOnly);
  QByteArray reply;
  ASSERT_EQ(channel.Receive(silent, reply, kPlainPacketLength, QDeadlineTimer(0)), kReceiveTimeout);

  ASSERT_TRUE(channel.Send(sent, Plain(device::kCmdKeepAlive)));
  QByteArray line = Plain(device::kCmdIdentify) + Plain(device::kCmdKeepAlive).left(8);
  QBuffer source(&line);
  source.open(QIODevice::ReadOnly);
  EXPECT_EQ(channel.Receive(source, reply, kPlainPacketLength, QDeadlineTimer(0)), kReceiveTimeout);
  EXPECT_TRUE(reply.isEmpty());
}

// Found by the reply fuzzer (a request of command 0x8F, which has no answer): the receive looked
// for a fitting reply in no bytes for ever. It returns at once and leaves the line alone.
TEST(ReplyChannelFuzz, NothingAwaitedReturnsAtOnceAndReadsNothing) {
  ReplyChannel channel;
  QBuffer sent;
  sent.open(QIODevice::ReadWrite);
  ASSERT_TRUE(channel.Send(sent, Plain(0x8F)));
  QByteArray line = Plain(device::kCmdIdentify);
  QBuffer source(&line);
  source.open(QIODevice::ReadOnly);
  QByteArray reply("stale");
  EXPECT_EQ(channel.Receive(source, reply, 0, QDeadlineTimer(0)), kReceiveOk);
  EXPECT_TRUE(reply.isEmpty());
  EXPECT_EQ(source.pos(), 0);
}

}  // namespace
}  // namespace tessaly::comm
