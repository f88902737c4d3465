// A line may deliver any bytes, cut anywhere, after any request. Each round of the input is a
// request (command, P3, device type) and what the line holds when its reply is read. The channel
// must hand back exactly the awaited bytes or none, and the packet must keep its frame.
#include <QBuffer>
#include <QDeadlineTimer>
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "comm/LinkIo.h"
#include "comm/Packet.h"
#include "comm/ReplyChannel.h"

namespace {

constexpr size_t kRoundHeader = 4;
constexpr int kLongestReply = 255 + 5;  // a memory read of the largest P3

bool FrameHolds(const QByteArray& packet, uint8_t command) {
  if (packet.isEmpty()) return true;  // a data block the device would refuse: nothing is sent
  const auto at = [&packet](qsizetype i) { return static_cast<uint8_t>(packet[i]); };
  return packet.size() >= tessaly::comm::kPlainPacketLength - 5 &&
         at(0) == ((tessaly::comm::kLengthBase + packet.size()) & 0xFF) &&
         at(1) == tessaly::comm::kPacketTag && at(3) == command &&
         at(packet.size() - 1) == tessaly::comm::kEndMarker;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessaly::comm;
  ReplyChannel channel;
  size_t at = 0;
  while (size - at >= kRoundHeader) {
    const uint8_t command = data[at];
    const uint8_t p3 = data[at + 1];
    const int device_type = data[at + 2] % 5;
    const size_t line_bytes = std::min<size_t>(data[at + 3], size - at - kRoundHeader);
    at += kRoundHeader;

    const ReplyClass reply_class = ClassifyReply(command, p3, device_type);
    if (reply_class.awaited_bytes < 0 || reply_class.awaited_bytes > kLongestReply ||
        (reply_class.awaited_bytes > 0 && reply_class.wait_limit_ms <= 0)) {
      __builtin_trap();
    }
    Params params{};
    params[2] = p3;
    const std::span<const uint8_t> block(data + at, std::min<size_t>(line_bytes, p3));
    const QByteArray packet = FramePacket(0, command, params, block, 1);
    if (!FrameHolds(packet, command)) __builtin_trap();

    QBuffer sent;
    sent.open(QIODevice::ReadWrite);
    (void)channel.Send(sent, packet);

    QByteArray line(reinterpret_cast<const char*>(data + at), static_cast<qsizetype>(line_bytes));
    QBuffer source(&line);
    source.open(QIODevice::ReadOnly);
    QByteArray reply;
    const int status = channel.Receive(source, reply, reply_class.awaited_bytes, QDeadlineTimer(0));
    if (status == kReceiveOk ? reply.size() != reply_class.awaited_bytes : !reply.isEmpty()) {
      __builtin_trap();
    }
    at += line_bytes;
  }
  return 0;
}
