#include <QApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/AboutDialog.h"
#include "app/AppState.h"
#include "app/MainWindow.h"
#include "app/SettingsDialog.h"
#include "connect/ConnectRig.h"
#include "connect/ui/DemoDeviceDialog.h"
#include "connect/ui/DeviceIpDialog.h"
#include "connect/ui/PortSelectionDialog.h"
#include "connect/ui/TcpConnectDialog.h"
#include "editor/EditorCore.h"
#include "programs/ui/ChannelCopyDialog.h"
#include "programs/ui/ProjectDialog.h"
#include "programs/ui/RecallProgramDialog.h"
#include "programs/ui/SleepSettingsDialog.h"
#include "programs/ui/StoreProgramDialog.h"
#include "programs/ui/TriggerSettingsDialog.h"
#include "settings/FilePreferences.h"

using namespace tessaly;

namespace {

constexpr int kSlot = 0;

// Every dialog off-line over one run's state; traffic is held, so no key can reach a device.
struct Rig : connect::test::ConnectRig {
  QTemporaryDir dir;
  app::AppState state{messenger};
  connect::ConnectRuntime runtime{comm, dir.path()};
  editor::EditorCore core{runtime};
  programs::ProgramMemory memory{comm, runtime.store, core.whole_program, runtime.names};
  programs::FileTransfers files{comm, runtime.store, core.whole_program, memory, dir.path()};
  programs::ChannelCopier copier{comm, runtime.store, core.curves, core.whole_program};
  protocol::SlotState slot_state;
  QList<connect::ConnectOutcome> outcomes;

  Rig() {
    session.program_folder = dir.path();
    comm.table().device_type[kSlot] = device::kType540S;
    comm.SuspendTraffic(true);
  }
  programs::ProgramTools Tools() {
    return {comm,   runtime.store, runtime.names, *runtime.sleep.At(kSlot),      memory, files,
            copier, kSlot,         nullptr,       programs::ChooseFileWithDialog};
  }
};

struct Walk {
  const char* name;
  std::function<QDialog*(Rig&)> make;
  // Focus stops that Tab must reach in this order.
  QStringList stops;
  QList<Qt::Key> keys;  // pressed on whatever has the focus, the last one ends the dialog
  int result;
  std::function<bool(Rig&, QDialog&)> outcome = nullptr;
};

QString FocusName() {
  QWidget* focus = QApplication::focusWidget();
  return focus != nullptr ? focus->objectName() : QStringLiteral("<none>");
}

// The names of the focus widgets met by Tab from the first focus until it comes round again.
QStringList TabChain() {
  QStringList chain{FocusName()};
  for (int i = 0; i < 40; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    if (FocusName() == chain.front()) break;
    chain << FocusName();
  }
  return chain;
}

// Whether Tab meets `stops` in this order, going round from the first of them.
bool InOrder(const QStringList& stops, QStringList chain) {
  if (stops.isEmpty()) return true;
  const qsizetype first = chain.indexOf(stops.front());
  if (first < 0) return false;
  chain = chain.mid(first) + chain.mid(0, first);
  qsizetype at = 0;
  for (const QString& stop : stops) {
    at = chain.indexOf(stop, at);
    if (at < 0) return false;
  }
  return true;
}

}  // namespace

// Each dialog driven with the keyboard alone: Tab reaches every control and button in reading
// order, Enter presses the default button and Escape cancels.
class DialogKeysTest : public QObject {
  Q_OBJECT

 private slots:
  void everyDialogWorksFromTheKeyboard() {
    using Dialog = programs::ProjectDialog;
    const QList<Walk> walks = {
        {"about",
         [](Rig& r) { return new app::AboutDialog(r.state); },
         {"okButton"},
         {Qt::Key_Return},
         QDialog::Accepted},
        {"settings: a typed folder, Enter keeps it",
         [](Rig& r) {
           return new app::SettingsDialog(r.state.settings, programs::FileLocations::InFolder({}));
         },
         {"documentsEdit", "documentsBrowseButton", "backupsEdit", "backupsBrowseButton",
          "okButton", "cancelButton"},
         {Qt::Key_X, Qt::Key_Return},
         QDialog::Accepted,
         [](Rig& r, QDialog&) {
           const auto chosen = settings::FilePreferences::Read(r.state.settings);
           return chosen.documents == QStringLiteral("x") && chosen.backups.isEmpty();
         }},
        {"demo device: arrows choose, Enter takes",
         [](Rig&) { return new connect::DemoDeviceDialog(device::kType540S); },
         {"deviceTypeOption_3", "okButton"},
         {Qt::Key_Up, Qt::Key_Return},
         QDialog::Accepted,
         [](Rig&, QDialog& d) {
           return static_cast<connect::DemoDeviceDialog&>(d).demo_type() == device::kTypeRl4800;
         }},
        {"device IP: Enter saves",
         [](Rig& r) {
           auto* d = new connect::DeviceIpDialog(r.comm, r.slot_state, kSlot);
           d->set_settle_ms(0);
           return d;
         },
         {"newIpEdit_0", "newIpEdit_3", "newGatewayEdit_3", "saveButton", "cancelButton"},
         {Qt::Key_Return},
         QDialog::Accepted,
         [](Rig& r, QDialog&) { return r.messenger.shown.size() == 1; }},
        {"device IP: Escape cancels",
         [](Rig& r) { return new connect::DeviceIpDialog(r.comm, r.slot_state, kSlot); },
         {"newIpEdit_0"},
         {Qt::Key_Escape},
         QDialog::Rejected,
         [](Rig& r, QDialog&) { return r.messenger.shown.isEmpty(); }},
        {"TCP connect: Escape cancels the search",
         [](Rig& r) {
           r.ScanRange(91, 92);
           auto* d = new connect::TcpConnectDialog(r.context);
           QObject::connect(d, &connect::TcpConnectDialog::connectFinished,
                            [&r](connect::ConnectOutcome o) { r.outcomes << o; });
           return d;
         },
         {"cancelButton"},
         {Qt::Key_Escape},
         QDialog::Rejected,
         [](Rig& r, QDialog&) {
           return r.outcomes == QList<connect::ConnectOutcome>{connect::ConnectOutcome::kCancelled};
         }},
        {"port selection: Enter is OK",
         [](Rig& r) {
           auto* d = new connect::PortSelectionDialog(r.context);
           d->Load();
           return d;
         },
         {"transportOption_0", "usbIdCombo", "comPortCombo", "comSearchButton", "okButton",
          "exitButton"},
         {Qt::Key_Return},
         QDialog::Accepted,
         [](Rig& r, QDialog&) { return !r.session.port_selection_cancelled; }},
        {"port selection: Escape is Exit",
         [](Rig& r) {
           auto* d = new connect::PortSelectionDialog(r.context);
           d->Load();
           return d;
         },
         {},
         {Qt::Key_Escape},
         QDialog::Rejected,
         [](Rig& r, QDialog&) { return r.session.port_selection_cancelled; }},
        {"trigger: Enter confirms",
         [](Rig& r) { return new programs::TriggerSettingsDialog(r.Tools()); },
         {"standbyMirroringCheck", "outputPolarityCombo", "enableTriggerCheck",
          "inputPolarityCombo", "cancelButton", "confirmButton"},
         {Qt::Key_Return},
         QDialog::Accepted},
        {"sleep: Enter closes",
         [](Rig& r) { return new programs::SleepSettingsDialog(r.Tools()); },
         {"sleepSlider0", "sleepSlider14", "closeButton"},
         {Qt::Key_Return},
         QDialog::Accepted},
        {"copy: Escape closes",
         [](Rig& r) {
           return new programs::ChannelCopyDialog(r.Tools(), programs::CopyMode::kInput);
         },
         {"sourceCombo", "destinationCombo", "copyButton", "closeButton"},
         {Qt::Key_Escape},
         QDialog::Rejected},
        {"store: Escape closes",
         [](Rig& r) { return new programs::StoreProgramDialog(r.Tools()); },
         {"programList", "programCombo", "nameEdit", "closeButton", "storeButton"},
         {Qt::Key_Escape},
         QDialog::Rejected},
        {"recall: Escape closes",
         [](Rig& r) { return new programs::RecallProgramDialog(r.Tools()); },
         {"closeButton", "recallButton"},
         {Qt::Key_Escape},
         QDialog::Rejected},
        {"project store: Escape closes",
         [](Rig& r) { return new Dialog(r.Tools(), Dialog::Mode::kStore); },
         {"backupCheck", "verifyCheck", "closeButton", "storeButton"},
         {Qt::Key_Escape},
         QDialog::Rejected},
    };
    for (const Walk& walk : walks) {
      Rig rig;
      std::unique_ptr<QDialog> dialog(walk.make(rig));
      dialog->show();
      QVERIFY2(QTest::qWaitForWindowActive(dialog.get()), walk.name);
      const QStringList chain = TabChain();
      QVERIFY2(InOrder(walk.stops, chain),
               qPrintable(QStringLiteral("%1: Tab went %2").arg(walk.name, chain.join(' '))));
      for (const Qt::Key key : walk.keys) QTest::keyClick(QApplication::focusWidget(), key);
      QTRY_VERIFY2(!dialog->isVisible(), walk.name);
      QVERIFY2(dialog->result() == walk.result, walk.name);
      if (walk.outcome) QVERIFY2(walk.outcome(rig, *dialog), walk.name);
    }
  }

  void everyMenuAndItemHasAMnemonic() {
    test::RecordingMessenger messenger;
    app::AppState state{messenger};
    app::MainWindow window(state);
    for (QAction* menu : window.menuBar()->actions()) {
      QVERIFY2(menu->text().contains('&'), qPrintable(menu->text()));
      for (QAction* item : menu->menu()->actions()) {
        if (!item->isSeparator()) QVERIFY2(item->text().contains('&'), qPrintable(item->text()));
      }
    }
  }
};

QTEST_MAIN(DialogKeysTest)
#include "DialogKeysTest.moc"
