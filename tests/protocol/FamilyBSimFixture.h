#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>
#include <string>
#include <vector>

#include "comm/Comm.h"
#include "protocol/ChannelLinking.h"
#include "protocol/Dispatch.h"
#include "protocol/FamilyAOperations.h"
#include "protocol/FamilyBOperations.h"
#include "protocol/ProgramStore.h"
#include "support/RecordingMessenger.h"
#include "support/SimHarness.h"

namespace tessaly::test {

// Parameter values built by calls, so that a table row holding one stays on one line.
inline protocol::EqBandValues Band(int type, int hz, int q, int gain) {
  return {static_cast<uint8_t>(type), static_cast<uint16_t>(hz), static_cast<uint8_t>(q),
          static_cast<uint8_t>(gain)};
}
inline protocol::CompressorValues Comp(int threshold, int ratio, int knee, int release, int attack,
                                       int makeup) {
  return {static_cast<uint8_t>(threshold), static_cast<uint8_t>(ratio),
          static_cast<uint8_t>(knee),      static_cast<uint8_t>(release),
          static_cast<uint8_t>(attack),    static_cast<uint8_t>(makeup)};
}
inline protocol::LimiterValues Lim(int threshold, int release, int attack) {
  return {static_cast<uint8_t>(threshold), static_cast<uint8_t>(release),
          static_cast<uint8_t>(attack)};
}
inline protocol::GateValues Gate(int bypass, int threshold, int release, int attack) {
  return {static_cast<uint8_t>(bypass), static_cast<uint8_t>(threshold),
          static_cast<uint8_t>(release), static_cast<uint8_t>(attack)};
}

// Hex text of a packet, bytes separated by blanks ("8D 1F 00 01 ..."), for readable failures.
inline std::string Hex(const QByteArray& bytes) { return bytes.toHex(' ').toUpper().toStdString(); }

// One emulated device of the given type on a loopback address, registered on-line in a
// slot of a fresh run over real TCP, with both family modules, the dispatcher and linking.
// Records every packet the PC sends. The settings start out as the device's, as the read-out
// of an opened editor leaves them.
class ProtocolDeviceFixture {
 public:
  static constexpr int kSlot = 4;

  // `address` picks the device's loopback address; the next free one from 127.0.0.2 otherwise.
  explicit ProtocolDeviceFixture(int device_type, const QString& address = {})
      : comm_(messenger_), store_(comm_), type_(device_type) {
    device_index_ = address.isEmpty() ? sim_.AddTcp(device_type)
                                      : sim_.AddTcpAt(address, {.type = device_type});
    comm::CommState& state = comm_.state();
    state.connection_mode = comm::kLinkTcp;
    comm_.OpenTraffic();
    comm_.ReportLinkLoss(true);
    state.current_device = kSlot;
    state.table.device_type[kSlot] = static_cast<int16_t>(device_type);
    state.table[kSlot].online = true;
    state.table[kSlot].registered = true;
    state.table[kSlot].link_kind = comm::kLinkTcp;
    comm_.tcp().Initialise(comm::kSlotCount);
    EXPECT_EQ(comm_.tcp().Connect(kSlot, sim_.address(device_index_), sim_.port(), 3000), 0);
    comm_.set_trace([this](bool outgoing, const QByteArray& bytes) {
      if (outgoing) sent.append(bytes);
    });
    const QByteArray settings = device().Settings();
    for (int n : SyncedTailIndexes()) data().SetTail(n, static_cast<uint8_t>(settings[n]));
  }

  int type() const { return type_; }
  std::vector<uint8_t> Record() {
    const auto record = data().Record();
    return {record.begin(), record.end()};
  }
  sim::SimDevice& device() { return sim_.device(device_index_); }
  protocol::ProgramData& data() { return *store_.Data(kSlot); }
  protocol::SlotState& state() { return *store_.State(kSlot); }
  protocol::FamilyOperations& ops() { return dispatcher_.For(kSlot); }

  std::vector<std::string> SentHex() const {
    std::vector<std::string> out;
    for (const QByteArray& packet : sent) out.push_back(Hex(packet));
    return out;
  }

  // What a read-out brings into the record tail: the settings the parameter commands change.
  static std::vector<int> SyncedTailIndexes() {
    std::vector<int> indexes;
    for (int n = 0; n < 48; ++n) indexes.push_back(n);
    for (int n = protocol::kTailRouting; n < protocol::kTailRouting + 16; ++n) {
      indexes.push_back(n);
    }
    return indexes;
  }

  // The device's image and settings against the PC's record (the spare byte is the PC's own).
  // Returns a description of the first difference, empty when they agree.
  std::string DeviceDifference() {
    const QByteArray image = device().Image();
    const auto pc_image = data().Image();
    if (image.size() != static_cast<qsizetype>(pc_image.size())) return "image sizes differ";
    for (size_t i = 0; i < pc_image.size(); ++i) {
      const auto dev = static_cast<uint8_t>(image[static_cast<qsizetype>(i)]);
      if (dev != pc_image[i]) {
        return "image byte " + std::to_string(i) + ": device " + std::to_string(dev) + ", PC " +
               std::to_string(pc_image[i]);
      }
    }
    const QByteArray settings = device().Settings();
    for (int n : SyncedTailIndexes()) {
      const auto dev = static_cast<uint8_t>(settings[n]);
      if (dev != data().Tail(n)) {
        return "settings byte " + std::to_string(n) + ": device " + std::to_string(dev) + ", PC " +
               std::to_string(data().Tail(n).value_or(0));
      }
    }
    return {};
  }

  bool application_ = (EnsureCoreApplication(), true);
  RecordingMessenger messenger_;
  comm::Comm comm_;
  protocol::ProgramStore store_;
  protocol::FamilyAOperations family_a_{store_};
  protocol::FamilyBOperations family_b_{store_};
  protocol::Dispatcher dispatcher_{store_, family_a_, family_b_};
  protocol::ChannelLinking linking_{store_, dispatcher_};
  QList<QByteArray> sent;

 private:
  int type_;
  SimHarness sim_;
  int device_index_ = -1;
};

}  // namespace tessaly::test
