#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include "app/AppState.h"
#include "app/MDIFrmMain.h"
#include "connect/ConnectRuntime.h"
#include "connect/ui/FrmConnect1.h"
#include "connect/ui/FrmConnectTCP.h"
#include "connect/ui/FrmSearchNet.h"
#include "connect/ui/FrmSelPort.h"

namespace tessaly::app {

namespace {

void ShowDeviceList(MDIFrmMain& main, connect::ConnectRuntime& runtime) {
  main.state().EditorCount = -1;
  connect::FrmSearchNet::Hooks hooks;
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
  auto* list = new connect::FrmSearchNet(runtime.context, hooks);
  QMdiSubWindow* frame = main.mdi_area()->addSubWindow(list);
  frame->show();
  main.SetDeviceListWindow(frame);
}

}  // namespace

// The port selection and the connect window it leads to, for the main window's Connect menu.
bool RunPortSelection(MDIFrmMain& main) {
  AppState& app = main.state();
  auto* runtime = connect::ConnectRuntime::Find(&main);
  if (runtime == nullptr)
    runtime = new connect::ConnectRuntime(app.comm(), app.ProgramFolder, &main);
  if (!app.DemoFirmwareVersion.isEmpty()) {
    runtime->session.DemoFirmwareVersion = app.DemoFirmwareVersion;
  }
  if (!app.DemoSecondVersion.isEmpty()) runtime->session.DemoSecondVersion = app.DemoSecondVersion;
  runtime->session.program_folder = app.ProgramFolder;
  app.comm_state().ReportLinkLoss = false;

  connect::FrmSelPort selection(runtime->context, &main);
  if (!selection.Load()) {
    QCoreApplication::exit(1);
    return false;
  }
  selection.exec();
  if (runtime->session.PortSelectionCancelled) return false;

  QDialog* window = nullptr;
  const auto finished = [&main, runtime](connect::ConnectOutcome outcome) {
    if (outcome == connect::ConnectOutcome::kDevicesListed ||
        outcome == connect::ConnectOutcome::kDemo) {
      ShowDeviceList(main, *runtime);
    }
  };
  if (app.comm_state().ConnectionMode == comm::kLinkTcp) {
    auto* tcp = new connect::FrmConnectTCP(runtime->context, &main);
    QObject::connect(tcp, &connect::FrmConnectTCP::Finished, &main, finished);
    window = tcp;
  } else {
    auto* usb = new connect::FrmConnect1(runtime->context, &main);
    QObject::connect(usb, &connect::FrmConnect1::Finished, &main, finished);
    window = usb;
  }
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  return true;
}

}  // namespace tessaly::app
