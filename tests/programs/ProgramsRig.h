#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <vector>

#include "comm/Comm.h"
#include "device/DeviceTypes.h"
#include "graph/ResponseCurves.h"
#include "programs/ChannelCopy.h"
#include "programs/FileTransfers.h"
#include "programs/ProgramMemory.h"
#include "programs/ProgramNames.h"
#include "programs/WholeProgram.h"
#include "protocol/FamilyAOperations.h"
#include "protocol/FamilyBOperations.h"
#include "protocol/ProgramStore.h"
#include "support/RecordingMessenger.h"
#include "support/SimHarness.h"

namespace tessaly::programs {

constexpr int kSlot = 3;

inline std::vector<uint8_t> Bytes(const QByteArray& bytes) { return {bytes.begin(), bytes.end()}; }

// One run's state with the program operations wired as the editor wires them, a start-up folder
// of its own, and optionally an emulated device on line in kSlot over TCP or a pseudo-terminal.
struct Rig {
  // First member: the emulator and the sockets need the application object to exist.
  bool app = (test::EnsureCoreApplication(), true);
  test::RecordingMessenger messenger;
  comm::Comm comm{messenger};
  protocol::ProgramStore store{comm};
  protocol::FamilyAOperations family_a{store};
  protocol::FamilyBOperations family_b{store};
  protocol::Dispatcher dispatcher{store, family_a, family_b};
  graph::ResponseCurves graph{store};
  ProgramNames names;
  WholeProgram whole{comm, store, dispatcher, graph, names};
  ProgramMemory memory{comm, store, whole, names};
  QTemporaryDir startup;
  FileTransfers files{comm, store, whole, memory, startup.path()};
  ChannelCopier copier{comm, store, graph, whole};
  test::SimHarness emulator;
  sim::SimDevice* device = nullptr;

  void UseType(int type) { comm.table().device_type[kSlot] = static_cast<int16_t>(type); }

  // Brings an emulated device of `type` on line in kSlot, as after a TCP/IP or USB connect.
  bool Online(int type, bool pty = false) {
    UseType(type);
    const int index = pty ? emulator.AddPty(type) : emulator.AddTcp(type);
    if (index < 0) return false;
    device = &emulator.device(index);
    comm::CommState& s = comm.state();
    comm::DeviceTable::Found found;
    if (pty) {
      s.connection_mode = comm::kLinkUsb;
      s.com_port = static_cast<int16_t>(emulator.com_number(index));
      emulator.MapComPorts(comm.com_ports());
      found.link_kind = comm::kLinkUsb;
    } else {
      const QString address = emulator.address(index);
      s.connection_mode = comm::kLinkTcp;
      if (comm.tcp().Initialise(comm::kSlotCount) != 0 ||
          comm.tcp().Connect(kSlot, address, emulator.port(), 3000) != 0) {
        ADD_FAILURE() << "no connection to the emulator";
        return false;
      }
      found.link_kind = comm::kLinkTcp;
      found.ip_address = address;
    }
    found.device_type = static_cast<int16_t>(type);
    comm.table().Register(kSlot, found);
    comm.OpenTraffic();
    comm.ReportLinkLoss(true);
    comm.EnterOnlineMode();
    return true;
  }

  // The program status and names as a read-out leaves them.
  void ReadNames() {
    ProgramNameList& list = *names.At(kSlot);
    for (int p = 0; p < device->program_count(); ++p) {
      list.program_status[static_cast<size_t>(p)] = device->ProgramStatus(p);
      list.program_name[static_cast<size_t>(p)] = device->ProgramName(p);
    }
  }

  protocol::ProgramData& data() { return *store.Data(kSlot); }
  protocol::SlotState& state() { return *store.State(kSlot); }
  bool lock() const { return comm.transfer_locked(); }
  QString Path(const QString& name) const { return startup.filePath(name); }
};

}  // namespace tessaly::programs
