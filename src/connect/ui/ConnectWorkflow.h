#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

#include "connect/ConnectRuntime.h"

class QMdiArea;
class QTimer;
class QWidget;

namespace tessaly::connect {

// From the Connect menu to an open editor: port selection, then the USB or network connect
// window, then the device list, whose double-click ends in the open-editor hook. The shell owns
// one and hands it what it needs; nothing here knows the shell.
class ConnectWorkflow : public QObject {
  Q_OBJECT

 public:
  struct Shell {
    QWidget* window = nullptr;  // parent of the modal windows
    QMdiArea* mdi_area = nullptr;
  };
  enum class Begun { kConnecting, kCancelled, kFatal };
  using OpenEditor = std::function<void(int slot)>;

  ConnectWorkflow(comm::Comm& comm, Shell shell, QObject* parent = nullptr);

  ConnectRuntime& runtime() { return runtime_; }
  // Where init.cfg and the user's files live, and the versions demo devices show.
  void Configure(const programs::FileLocations& locations, const QString& demo_firmware,
                 const QString& demo_second);
  // The editors fill this; without it opening a device ends with a note in the status bar.
  void SetOpenEditor(OpenEditor hook) { open_editor_ = std::move(hook); }
  // A double-click on a lost device whose editor is still open reconnects that editor.
  void SetReconnectEditor(OpenEditor hook) { reconnect_editor_ = std::move(hook); }

  // Shows the port selection modally and, unless it is cancelled, the chosen connect window.
  // kFatal when the port selection could not set up its connections: the program must end.
  Begun Begin();
  // The same without asking: the network range saved in init.cfg is searched at once (the
  // start-up option that opens the first device found).
  Begun BeginConfigured();

 signals:
  // The device list has loaded (every editor is closed by then).
  void deviceListShown(QWidget* window);

 private:
  void OnConnectFinished(ConnectOutcome outcome);
  void ShowDeviceList();
  Begun ShowConnectWindow();

  comm::Comm& comm_;
  Shell shell_;
  ConnectRuntime runtime_;
  OpenEditor open_editor_;
  OpenEditor reconnect_editor_;
};

}  // namespace tessaly::connect
