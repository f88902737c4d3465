#pragma once

#include <QByteArray>
#include <cstdint>
#include <span>

namespace tessaly::comm {

// What became of one exchange.
enum class ExchangeStatus {
  kAnswered,    // sent, and the reply (when the command has one) arrived whole
  kHeld,        // the traffic state or the slot kept it back: nothing was sent or traced
  kBusy,        // another exchange is still waiting for its reply: refused, nothing sent
  kSendFailed,  // the line could not be opened or taken the packet
  kUnanswered,  // sent, but no reply came within the wait limit; the link was closed
};

// One exchange's outcome with the reply it brought. The reply belongs to this exchange alone:
// nothing is read out of shared state afterwards.
class [[nodiscard]] ExchangeResult {
 public:
  ExchangeResult() = default;
  ExchangeResult(ExchangeStatus status, QByteArray reply = {}, bool loss_reported = false)
      : status_(status), reply_(std::move(reply)), loss_reported_(loss_reported) {}

  ExchangeStatus status() const { return status_; }
  bool answered() const { return status_ == ExchangeStatus::kAnswered; }
  bool held() const { return status_ == ExchangeStatus::kHeld; }
  // The device did not get the request, or did not answer it.
  bool failed() const {
    return status_ == ExchangeStatus::kSendFailed || status_ == ExchangeStatus::kUnanswered;
  }
  // A lost reply was told to the user (message, device list, editor).
  bool loss_reported() const { return loss_reported_; }

  const QByteArray& reply() const { return reply_; }
  // Reply byte `index`; 0 beyond the reply, so a short or missing reply never reads stale bytes.
  uint8_t Byte(int index) const {
    return index >= 0 && index < reply_.size() ? static_cast<uint8_t>(reply_[index]) : 0;
  }
  std::span<const uint8_t> Bytes() const { return Bytes(0, static_cast<int>(reply_.size())); }
  // `count` reply bytes from `first`; empty when the reply does not hold them all.
  std::span<const uint8_t> Bytes(int first, int count) const {
    if (first < 0 || count < 0 || first + count > reply_.size()) return {};
    return {reinterpret_cast<const uint8_t*>(reply_.constData()) + first,
            static_cast<size_t>(count)};
  }

 private:
  ExchangeStatus status_ = ExchangeStatus::kHeld;
  QByteArray reply_;
  bool loss_reported_ = false;
};

}  // namespace tessaly::comm
