#pragma once

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <array>
#include <memory>

#include "comm/Comm.h"
#include "connect/ConnectRuntime.h"
#include "connect/DeviceReadout.h"
#include "device/DeviceTypes.h"
#include "editor/EditorManager.h"
#include "editor/EditorWindow.h"
#include "support/RecordingMessenger.h"
#include "support/SimHarness.h"

namespace tessaly::test {

// One run's state with emulated devices and a main window whose MDI area the editor manager fills.
struct EditorWindowsRig {
  SimHarness sim;
  RecordingMessenger messenger;
  comm::Comm comm{messenger};
  QTemporaryDir startup;
  connect::ConnectRuntime runtime{comm, startup.path()};
  QMainWindow frame;
  QMdiArea* area = new QMdiArea;
  int16_t editor_count = -1;
  std::unique_ptr<editor::EditorManager> editors;

  void ShowFrame() {
    frame.setCentralWidget(area);
    // Room for the whole tool bar: a narrow one folds its last items away.
    frame.resize(1280, 760);
    frame.show();
  }
  void StartEditors() {
    editors = std::make_unique<editor::EditorManager>(runtime, area, editor_count, false);
  }
};

// Two devices read out over loopback as the device list leaves them, an RK-540 ("Front Fill") in
// slot 0 and a 540S in slot 1, with the editor manager over an MDI area; no editor open yet.
struct TwoEditorRig : EditorWindowsRig {
  std::array<int, 2> devices{};

  bool ReadOutBoth() {
    devices = {sim.AddTcp({.type = device::kTypeRk540, .name = "Front Fill"}),
               sim.AddTcp(device::kType540S)};
    ShowFrame();
    comm::CommState& cs = comm.state();
    comm.set_device_port(sim.port());
    if (comm.tcp().Initialise(comm::kSlotCount) != 0) return false;
    cs.connection_mode = comm::kLinkTcp;
    comm.OpenTraffic();
    for (int slot = 0; slot < 2; ++slot) {
      const QString address = sim.address(devices[slot]);
      if (comm.tcp().Connect(slot, address, sim.port(), 1000) != 0) return false;
      cs.table.Register(
          slot,
          {comm::kLinkTcp, address, static_cast<int16_t>(slot),
           static_cast<int16_t>(slot == 0 ? device::kTypeRk540 : device::kType540S), QString()});
      if (connect::ReadDevice(runtime.context, slot, {}).stopped_at !=
          connect::ReadoutStep::kDone) {
        return false;
      }
      cs.table.device_data_valid[slot] = 1;
      cs.table.device_needs_read[slot] = false;
    }
    cs.last_slot = 1;
    comm.EnterOnlineMode();
    StartEditors();
    return true;
  }

  QMdiSubWindow* FrameOf(int slot) const {
    editor::EditorWindow* window = editors->EditorOf(slot);
    return window != nullptr ? qobject_cast<QMdiSubWindow*>(window->parentWidget()) : nullptr;
  }
};

// One device read out and its editor open in a main window's MDI area, over loopback TCP on
// `address` or, with none, a pseudo-terminal that answers at the device's baud rate.
struct OneEditorRig : EditorWindowsRig {
  int device = -1;
  int type = 0;
  editor::EditorWindow* window = nullptr;

  bool Open(int device_type, const QString& address = {}) {
    type = device_type;
    comm::CommState& cs = comm.state();
    if (address.isEmpty()) {
      device = sim.AddPty({.type = type, .pace_wire = true});
      sim.MapComPorts(comm.com_ports());
      cs.com_port = static_cast<int16_t>(sim.com_number(device));
      cs.connection_mode = comm::kLinkUsb;
      cs.table.Register(0, {comm::kLinkUsb, QString(), 0, static_cast<int16_t>(type), {}});
    } else {
      device = sim.AddTcpAt(address, {.type = type});
      comm.set_device_port(sim.port());
      if (device < 0 || comm.tcp().Initialise(comm::kSlotCount) != 0 ||
          comm.tcp().Connect(0, address, sim.port(), 1000) != 0) {
        return false;
      }
      cs.connection_mode = comm::kLinkTcp;
      cs.table.Register(0, {comm::kLinkTcp, address, 0, static_cast<int16_t>(type), {}});
    }
    comm.OpenTraffic();
    if (connect::ReadDevice(runtime.context, 0, {}).stopped_at != connect::ReadoutStep::kDone) {
      return false;
    }
    cs.table.device_data_valid[0] = 1;
    cs.table.device_needs_read[0] = false;
    cs.last_slot = 0;
    comm.EnterOnlineMode();
    ShowFrame();
    StartEditors();
    window = editors->Open(0);
    return window != nullptr;
  }
  sim::SimDevice& dev() { return sim.device(device); }
};

}  // namespace tessaly::test
