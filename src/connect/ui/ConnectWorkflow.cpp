#include "connect/ui/ConnectWorkflow.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include "connect/DeviceList.h"
#include "connect/PortSelection.h"
#include "connect/ui/DeviceListWindow.h"
#include "connect/ui/PortSelectionDialog.h"
#include "connect/ui/TcpConnectDialog.h"
#include "connect/ui/UsbConnectDialog.h"

namespace tessaly::connect {
ConnectWorkflow::ConnectWorkflow(comm::Comm& comm, Shell shell, QObject* parent)
    : QObject(parent), comm_(comm), shell_(shell), runtime_(comm) {}

void ConnectWorkflow::Configure(const programs::FileLocations& locations,
                                const QString& demo_firmware, const QString& demo_second) {
  runtime_.session.program_folder = locations.config;
  runtime_.session.locations = locations;
  if (!demo_firmware.isEmpty()) runtime_.session.demo_firmware_version = demo_firmware;
  if (!demo_second.isEmpty()) runtime_.session.demo_second_version = demo_second;
}

ConnectWorkflow::Begun ConnectWorkflow::Begin() {
  comm_.ReportLinkLoss(false);
  PortSelectionDialog selection(runtime_.context, shell_.window);
  if (!selection.Load()) return Begun::kFatal;
  selection.exec();
  if (runtime_.session.port_selection_cancelled) return Begun::kCancelled;
  return ShowConnectWindow();
}

ConnectWorkflow::Begun ConnectWorkflow::BeginConfigured() {
  comm_.ReportLinkLoss(false);
  ConnectSession& session = runtime_.session;
  session.LoadConfig();
  if (comm_.tcp().Initialise(comm::kSlotCount) != 0) return Begun::kFatal;
  PortChoice choice;
  choice.connection_mode = comm::kLinkTcp;
  choice.device_count_option = 1;
  choice.com_index = session.config.com_port;
  for (size_t i = 0; i < 4; ++i) {
    choice.single[i] = QString::number(session.config.single[i]);
    choice.several[i] = QString::number(session.config.range_start[i]);
    choice.several[i + 4] = QString::number(session.config.range_end[i]);
  }
  if (AcceptPortSelection(choice, session, comm_.state(), comm_.messenger()) !=
      AcceptResult::kSaved) {
    return Begun::kCancelled;
  }
  session.port_selection_cancelled = false;
  return ShowConnectWindow();
}

ConnectWorkflow::Begun ConnectWorkflow::ShowConnectWindow() {
  QDialog* window = nullptr;
  if (comm_.state().connection_mode == comm::kLinkTcp) {
    auto* tcp = new TcpConnectDialog(runtime_.context, shell_.window);
    connect(tcp, &TcpConnectDialog::connectFinished, this, &ConnectWorkflow::OnConnectFinished);
    window = tcp;
  } else {
    runtime_.session.scan_summary.clear();
    runtime_.session.scan_details.clear();
    auto* usb = new UsbConnectDialog(runtime_.context, shell_.window);
    connect(usb, &UsbConnectDialog::connectFinished, this, &ConnectWorkflow::OnConnectFinished);
    window = usb;
  }
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  return Begun::kConnecting;
}

void ConnectWorkflow::OnConnectFinished(ConnectOutcome outcome) {
  if (outcome == ConnectOutcome::kDevicesListed || outcome == ConnectOutcome::kDemo) {
    ShowDeviceList();
  }
}

void ConnectWorkflow::ShowDeviceList() {
  DeviceListWindow::Hooks hooks;
  hooks.show_editor = open_editor_;
  hooks.reconnect_editor = reconnect_editor_;
  auto* list = new DeviceListWindow(runtime_.context, hooks);
  QWidget* shown = list;
  if (shell_.mdi_area != nullptr) {
    QMdiSubWindow* frame = shell_.mdi_area->addSubWindow(list);
    frame->show();
    shown = frame;
  } else {
    list->show();
  }
  emit deviceListShown(shown);
}

}  // namespace tessaly::connect
