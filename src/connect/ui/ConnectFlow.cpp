#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include "app/AppState.h"
#include "app/MainWindow.h"
#include "connect/ConnectRuntime.h"
#include "connect/ui/UsbConnectDialog.h"
#include "connect/ui/TcpConnectDialog.h"
#include "connect/ui/DeviceListWindow.h"
#include "connect/ui/PortSelectionDialog.h"

namespace tessaly::app {

namespace {

void ShowDeviceList(MainWindow& main, connect::ConnectRuntime& runtime) {
  main.state().editor_count = -1;
  connect::DeviceListWindow::Hooks hooks;
  hooks.keep_alive_running = [&main] {
    const auto* timer3 = main.findChild<QTimer*>(QStringLiteral("Timer3"));
    return timer3 != nullptr && timer3->isActive();
  };
  hooks.start_keep_alive = [&main] { main.StartKeepAlive(); };
  hooks.restart_menu_timer = [&main] {
    if (auto* timer1 = main.findChild<QTimer*>(QStringLiteral("Timer1"))) {
      timer1->start(kConnectMenuPollMs);
    }
  };
  auto* list = new connect::DeviceListWindow(runtime.context, hooks);
  QMdiSubWindow* frame = main.mdi_area()->addSubWindow(list);
  frame->show();
  main.SetDeviceListWindow(frame);
}

}  // namespace

// The port selection and the connect window it leads to, for the main window's Connect menu.
bool RunPortSelection(MainWindow& main) {
  AppState& app = main.state();
  auto* runtime = connect::ConnectRuntime::Find(&main);
  if (runtime == nullptr)
    runtime = new connect::ConnectRuntime(app.comm(), app.program_folder, &main);
  if (!app.demo_firmware_version.isEmpty()) {
    runtime->session.demo_firmware_version = app.demo_firmware_version;
  }
  if (!app.demo_second_version.isEmpty()) runtime->session.demo_second_version = app.demo_second_version;
  runtime->session.program_folder = app.program_folder;
  app.comm_state().report_link_loss = false;

  connect::PortSelectionDialog selection(runtime->context, &main);
  if (!selection.Load()) {
    QCoreApplication::exit(1);
    return false;
  }
  selection.exec();
  if (runtime->session.port_selection_cancelled) return false;

  QDialog* window = nullptr;
  const auto finished = [&main, runtime](connect::ConnectOutcome outcome) {
    if (outcome == connect::ConnectOutcome::kDevicesListed ||
        outcome == connect::ConnectOutcome::kDemo) {
      ShowDeviceList(main, *runtime);
    }
  };
  if (app.comm_state().connection_mode == comm::kLinkTcp) {
    auto* tcp = new connect::TcpConnectDialog(runtime->context, &main);
    QObject::connect(tcp, &connect::TcpConnectDialog::Finished, &main, finished);
    window = tcp;
  } else {
    auto* usb = new connect::UsbConnectDialog(runtime->context, &main);
    QObject::connect(usb, &connect::UsbConnectDialog::Finished, &main, finished);
    window = usb;
  }
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  return true;
}

}  // namespace tessaly::app
