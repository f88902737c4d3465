#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <csignal>
#include <functional>

#include <sys/resource.h>

#include "comm/Comm.h"
#include "connect/ConnectRuntime.h"
#include "device/DeviceTypes.h"
#include "editor/EditorCore.h"
#include "editor/EditorManager.h"
#include "editor/EditorWindow.h"
#include "editor/OfflinePreset.h"
#include "editor/ProgramActions.h"
#include "model/EditPath.h"
#include "programs/ProgramFiles.h"
#include "programs/ui/ChannelCopyDialog.h"
#include "programs/ui/ProjectDialog.h"
#include "programs/ui/RecallProgramDialog.h"
#include "programs/ui/SleepSettingsDialog.h"
#include "programs/ui/StoreProgramDialog.h"
#include "programs/ui/TransferPanel.h"
#include "programs/ui/TriggerSettingsDialog.h"
#include "support/RecordingMessenger.h"
#include "support/SimHarness.h"

using namespace tessaly;
using programs::ProgramTools;

namespace {

constexpr int kSlot = 2;

// An editor window with its program buttons on an emulated device over TCP, the file dialogs
// answered by `next_path`.
struct Rig {
  test::RecordingMessenger messenger;
  comm::Comm comm{messenger};
  QTemporaryDir startup;
  connect::ConnectRuntime runtime{comm, startup.path()};
  editor::EditorCore core{runtime};
  editor::EditorWindow window{editor::EditorContext{core.edits, messenger, kSlot}, comm};
  editor::ProgramActions* actions = editor::InstallProgramActions(window, core, runtime);
  test::SimHarness emulator;
  sim::SimDevice* device = nullptr;
  QString next_path;

  explicit Rig(int type) {
    actions->set_file_chooser(
        [this](QWidget*, bool, const QString&, const QString&) { return next_path; });
    comm.table().device_type[kSlot] = static_cast<int16_t>(type);
    const int index = emulator.AddTcp(type);
    device = &emulator.device(index);
    comm::CommState& s = comm.state();
    s.connection_mode = comm::kLinkTcp;
    QVERIFY(comm.tcp().Initialise(comm::kSlotCount) == 0);
    QVERIFY(comm.tcp().Connect(kSlot, emulator.address(index), emulator.port(), 3000) == 0);
    comm::DeviceTable::Found found;
    found.link_kind = comm::kLinkTcp;
    found.ip_address = emulator.address(index);
    found.device_type = static_cast<int16_t>(type);
    comm.table().Register(kSlot, found);
    comm.OpenTraffic();
    comm.ReportLinkLoss(true);
    comm.EnterOnlineMode();
  }
  void ReadNames() {
    programs::ProgramNameList& list = *runtime.names.At(kSlot);
    for (int p = 0; p < device->program_count(); ++p) {
      list.program_status[static_cast<size_t>(p)] = device->ProgramStatus(p);
      list.program_name[static_cast<size_t>(p)] = device->ProgramName(p);
    }
  }
  QStringList Texts() const {
    QStringList texts;
    for (const device::Message& m : messenger.shown) texts << m.title + QLatin1Char('|') + m.text;
    return texts;
  }
  bool held() const { return comm.keep_alive_held(); }
};

// Runs `body` on the modal window that `open` brings up, then lets `open` return.
template <typename Dialog>
void WithModal(const std::function<void()>& open, const std::function<void(Dialog&)>& body) {
  bool ran = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    QVERIFY(dialog != nullptr);
    body(*dialog);
    ran = true;
    if (dialog->isVisible()) dialog->reject();
  });
  open();
  QVERIFY(ran);
}

}  // namespace

class ProgramDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { qputenv("TESSALY_TIME_SCALE", "0.05"); }

  void StoreListNameRulesAndCaption() {
    Rig rig(device::kTypeRk540);
    rig.ReadNames();
    WithModal<programs::StoreProgramDialog>(
        [&] { rig.actions->OpenStore(); },
        [&](programs::StoreProgramDialog& d) {
          QVERIFY(rig.held());
          QCOMPARE(d.list()->count(), 64);
          QVERIFY(d.list()->item(8)->text().startsWith(QStringLiteral("09: ")));
          QVERIFY(d.list()->item(9)->text().startsWith(QStringLiteral("10: ")));
          d.list()->setCurrentRow(9);
          QCOMPARE(d.combo()->currentText(), QStringLiteral("10"));
          d.name_edit()->clear();
          QKeyEvent accent(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier,
                           QStringLiteral("\u00e9"));
          QApplication::sendEvent(d.name_edit(), &accent);
          QCOMPARE(d.name_edit()->text(), QString());
          d.StoreSelected();  // an empty name
          QTest::keyClicks(d.name_edit(), QStringLiteral("A"));
          d.StoreSelected();
        });
    QVERIFY(!rig.held());
    QCOMPARE(rig.Texts().size(), 3);
    QVERIFY(rig.Texts()[0].endsWith(QStringLiteral("ASCII Chars")));
    QCOMPARE(rig.Texts()[1], QStringLiteral("Edit Names|Please input the Name !"));
    QCOMPARE(rig.device->ProgramName(9), QStringLiteral("A               "));
    QVERIFY(
        rig.window.windowTitle().endsWith(QStringLiteral(" - program loaded: A               ")));
  }

  void RecallEmptyThenStoredWithBackup() {
    Rig rig(device::kType540S);
    rig.device->FillPrograms(2);
    rig.ReadNames();
    rig.device->ClearReceived();
    WithModal<programs::RecallProgramDialog>([&] { rig.actions->OpenRecall(); },
                                             [&](programs::RecallProgramDialog& d) {
                                               d.list()->setCurrentRow(5);
                                               d.RecallSelected();
                                               QCOMPARE(rig.device->ReceivedCount(), 0);
                                               d.list()->setCurrentRow(1);
                                               d.RecallSelected();
                                             });
    QCOMPARE(rig.Texts().value(0), QStringLiteral("Recall Program|Program empty"));
    QCOMPARE(rig.messenger.shown.value(0).icon, device::MessageIcon::kCritical);
    QCOMPARE(rig.device->ReceivedCommands().value(0), 27);
    QVERIFY(rig.window.windowTitle().endsWith(QStringLiteral("program loaded: Preset 02       ")));
    QVERIFY(!rig.actions->tools().files.LastEditBufferBackup(kSlot).isEmpty());

    // The 540S's device page hears of a confirmed trigger change.
    QSignalSpy changed(&rig.core.edits, &model::EditPath::parameterChanged);
    WithModal<programs::TriggerSettingsDialog>([&] { rig.actions->OpenTriggerSettings(); },
                                               [&](programs::TriggerSettingsDialog& d) {
                                                 d.enable_check()->click();
                                                 d.Confirm();
                                               });
    QCOMPARE(changed.count(), 2);
    QCOMPARE(rig.device->Settings().at(21), 4);
  }

  // In demonstration mode a recall says why nothing happens, before it asks or keeps anything.
  void RecallInDemonstrationModeSaysWhy() {
    Rig rig(device::kTypeRk360);
    rig.device->FillPrograms(2);
    rig.ReadNames();
    rig.comm.SuspendTraffic(true);
    rig.device->ClearReceived();
    WithModal<programs::RecallProgramDialog>([&] { rig.actions->OpenRecall(); },
                                             [&](programs::RecallProgramDialog& d) {
                                               d.list()->setCurrentRow(1);
                                               d.RecallSelected();
                                               QVERIFY(d.isVisible());
                                             });
    QCOMPARE(rig.messenger.shown.size(), 1);
    QVERIFY(rig.messenger.shown[0].text.startsWith(QStringLiteral("Demonstration mode")));
    QCOMPARE(rig.device->ReceivedCount(), 0);
    QVERIFY(rig.actions->tools().files.LastEditBufferBackup(kSlot).isEmpty());
  }

  // No backup can be written in the start-up folder (a file holds the backups folder's name,
  // which stops root too): the recall asks, No sends nothing, Yes recalls without one.
  void UnwritableBackupAsksBeforeRecall() {
    Rig rig(device::kType540S);
    rig.device->FillPrograms(2);
    rig.ReadNames();
    QFile blocker(rig.startup.filePath(QStringLiteral("backups")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    rig.device->ClearReceived();
    using device::MessageAnswer;
    rig.messenger.answers = {MessageAnswer::kYes, MessageAnswer::kNo, MessageAnswer::kYes,
                             MessageAnswer::kYes};
    WithModal<programs::RecallProgramDialog>([&] { rig.actions->OpenRecall(); },
                                             [&](programs::RecallProgramDialog& d) {
                                               d.list()->setCurrentRow(1);
                                               d.RecallSelected();
                                               QCOMPARE(rig.device->ReceivedCount(), 0);
                                               d.RecallSelected();
                                             });
    QCOMPARE(rig.messenger.shown.size(), 4);
    const device::Message& asked = rig.messenger.shown[1];
    QCOMPARE(asked.icon, device::MessageIcon::kExclamation);
    QCOMPARE(asked.buttons, device::MessageButtons::kYesNo);
    const QString start = QStringLiteral("The program running in the device could not be kept in ");
    QVERIFY2(asked.text.startsWith(start + blocker.fileName() + QStringLiteral(": ")),
             qPrintable(asked.text));
    QVERIFY(asked.text.endsWith(QStringLiteral(". Recall anyway?")));
    QCOMPARE(rig.device->ReceivedCommands().value(0), 27);
    QVERIFY(rig.window.windowTitle().endsWith(QStringLiteral("program loaded: Preset 02       ")));
  }

  // Load, refusals, and the caption; then Restore last backup brings the former program back.
  void PresetLoadRefusalsAndRestore() {
    Rig rig(device::kTypeRk540);
    const QByteArray former = rig.device->Image();
    QByteArray record(1203, '\0');
    const protocol::ProgramData* data = rig.runtime.store.Data(kSlot);
    std::copy(data->Record().begin(), data->Record().end(), record.begin());
    record[data->layout().gain_offset[2]] = 3;
    rig.next_path = rig.startup.filePath(QStringLiteral("venue.540"));
    QCOMPARE(programs::WriteFileAtomically(rig.next_path, record), QString());
    rig.actions->LoadPreset();
    QVERIFY(rig.window.windowTitle().endsWith(QStringLiteral(" - file loaded: venue.540")));
    QCOMPARE(rig.device->Image().at(data->layout().gain_offset[2]), 3);

    rig.device->ClearReceived();
    rig.next_path = rig.startup.filePath(QStringLiteral("b.540"));
    QCOMPARE(programs::WriteFileAtomically(rig.next_path, QByteArray(1363, '\0')), QString());
    rig.actions->LoadPreset();
    rig.next_path = rig.startup.filePath(QStringLiteral("missing.540"));
    rig.actions->LoadPreset();
    QCOMPARE(rig.device->ReceivedCount(), 0);
    QCOMPARE(rig.Texts().size(), 2);
    QVERIFY(rig.Texts()[0].contains(QStringLiteral("a 540S")));
    QCOMPARE(rig.Texts()[1], QStringLiteral(" Error| File not found. Try again."));

    rig.actions->RestoreLastBackup();
    QCOMPARE(rig.device->Image(), former);

    // A save says so in the status bar, naming the file.
    QMainWindow main;
    main.show();
    rig.next_path = rig.startup.filePath(QStringLiteral("copy.540"));
    rig.actions->SavePreset();
    QCOMPARE(main.statusBar()->currentMessage(), QStringLiteral("Preset saved: copy.540"));
    main.statusBar()->clearMessage();

    // Save onto the earlier file with the disk full: a clear message, the old file intact.
    rig.next_path = rig.startup.filePath(QStringLiteral("venue.540"));
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit full = saved;
    full.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &full);
    rig.actions->SavePreset();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    QVERIFY(rig.Texts().last().startsWith(QStringLiteral("Save|The file ")));
    QFile kept(rig.next_path);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), record);
    QCOMPARE(main.statusBar()->currentMessage(), QString());
  }

  void ProjectSaveCancelOfflineAndStoreFaults() {
    Rig rig(device::kType540S);
    QMainWindow main;
    main.show();
    rig.device->FillPrograms(6);
    rig.ReadNames();
    const QString path = rig.startup.filePath(QStringLiteral("venue.pjs"));
    rig.next_path = path;
    WithModal<programs::ProjectDialog>([&] { rig.actions->SaveProject(); },
                                       [&](programs::ProjectDialog& d) {
                                         QTimer::singleShot(0, d.panel()->cancel_button(),
                                                            &QPushButton::click);
                                         d.SaveToFile();
                                       });
    QVERIFY(!QFile::exists(path));
    QCOMPARE(rig.Texts().value(0), QStringLiteral("Save Project|Nothing was saved."));
    QCOMPARE(main.statusBar()->currentMessage(), QString());
    WithModal<programs::ProjectDialog>([&] { rig.actions->SaveProject(); },
                                       [&](programs::ProjectDialog& d) { d.SaveToFile(); });
    QCOMPARE(QFile(path).size(), 28729);
    QCOMPARE(main.statusBar()->currentMessage(), QStringLiteral("Project saved: venue.pjs"));

    rig.next_path = rig.startup.filePath(QStringLiteral("type0.pj5"));
    QCOMPARE(programs::WriteFileAtomically(rig.next_path, programs::EncodeProject(0, {})),
             QString());
    rig.actions->LoadProject();
    QCOMPARE(rig.Texts().value(1), QStringLiteral(" Load Project| File wrong."));

    rig.next_path = path;
    rig.device->SetSilentAfter(6 * 16 + 20);  // the backup read, then part of the store
    WithModal<programs::ProjectDialog>([&] { rig.actions->LoadProject(); },
                                       [&](programs::ProjectDialog& d) {
                                         QVERIFY(d.backup_check()->isChecked());
                                         QVERIFY(d.verify_check()->isChecked());
                                         d.StoreToDevice();
                                       });
    const QStringList texts = rig.Texts();
    QCOMPARE(texts.size(), 4);
    QVERIFY(texts[2].startsWith(QStringLiteral("Communication problem|")));
    QVERIFY(texts[3].startsWith(QStringLiteral("Store to Device|Error: store not possible\n")));
    QVERIFY(texts[3].contains(QStringLiteral("program-memory-")));
    rig.device->ClearFaults();
    WithModal<programs::ProjectDialog>([&] { rig.actions->SaveProject(); },
                                       [&](programs::ProjectDialog& d) { d.SaveToFile(); });
    QCOMPARE(rig.Texts().value(4),
             QStringLiteral("Save Project|Function available only in On-line mode"));
  }

  void CopyTriggerAndSleep() {
    Rig rig(device::kTypeRk540);
    WithModal<programs::ChannelCopyDialog>(
        [&] { rig.actions->OpenCopy(programs::CopyMode::kOutput); },
        [&](programs::ChannelCopyDialog& d) {
          QCOMPARE(d.windowTitle(), QStringLiteral("Output Copy"));
          d.CopySelected();
          d.destination()->setCurrentIndex(2);
          d.CopySelected();
        });
    QCOMPARE(rig.Texts().value(0), QStringLiteral("Copy|Copy not possible, Source=Destination"));
    const QByteArray copy = rig.device->ReceivedPackets().value(0);
    QCOMPARE(std::tuple(int(copy[3]), int(copy[10]), int(copy[11])), std::tuple(55, 2, 4));

    rig.device->ClearReceived();
    WithModal<programs::TriggerSettingsDialog>(
        [&] { rig.actions->OpenTriggerSettings(); },
        [&](programs::TriggerSettingsDialog& d) {
          d.mirroring_check()->click();
          QVERIFY(!d.output_combo()->isEnabled());
          d.mirroring_check()->click();
          QVERIFY(d.output_combo()->isEnabled());
          d.enable_check()->click();
          QVERIFY(d.indicator()->styleSheet().contains(QStringLiteral("#ff8000")));
          d.input_combo()->setCurrentIndex(1);
          d.Confirm();
        });
    QCOMPARE(rig.device->Settings().at(21), 5);

    rig.runtime.sleep.At(kSlot)->bytes[1] = 16;
    WithModal<programs::SleepSettingsDialog>(
        [&] { rig.actions->OpenSleepSettings(); },
        [&](programs::SleepSettingsDialog& d) {
          for (int i = 0; i < 3; ++i) d.slider(12 + i)->setValue(0);
          QCOMPARE(d.time_label(4)->text(), QStringLiteral("Time:78601.24 ms"));
          for (int i = 0; i < 3; ++i) d.slider(i)->setValue(d.slider(i)->maximum());
          QCOMPARE(d.time_label(0)->text(), QStringLiteral("Time:0 ms"));
        });
    QCOMPARE(rig.device->Settings().mid(480, 15).toHex(),
             QByteArray("000000") + QByteArray("002040003040004040") + QByteArray("7fffff"));
  }

  // A preset opened with no device: edits reach the record only, nothing pretends to reach a
  // device, and Save writes the file back once the user agreed, but never over a backup.
  void OfflinePresetEditAndSave() {
    test::RecordingMessenger messenger;
    comm::Comm comm{messenger};
    QTemporaryDir dir;
    connect::ConnectRuntime runtime{comm, dir.path()};
    QMdiArea area;
    int16_t editors_open = -1;
    editor::EditorManager editors(runtime, &area, editors_open, false);
    int sent = 0;
    comm.set_trace([&sent](bool outgoing, const QByteArray&) { sent += outgoing ? 1 : 0; });
    const QByteArray preset(
        reinterpret_cast<const char*>(protocol::ProgramData(protocol::Family::kA).Record().data()),
        1203);
    const QString path = dir.filePath(QStringLiteral("venue.480"));
    QCOMPARE(programs::WriteFileAtomically(path, preset), QString());
    QVERIFY(editor::OpenPresetOffline(editors, runtime, dir.filePath(QStringLiteral("x.pj4"))) ==
            nullptr);
    editor::EditorWindow* window = editor::OpenPresetOffline(editors, runtime, path);
    QVERIFY(window != nullptr);
    const QString caption = QStringLiteral("Offline RL-4800 - file loaded: venue.480");
    QCOMPARE(window->windowTitle(), caption);
    window->SetCaption(QStringLiteral("Program Empty"), editor::LoadedFrom::kProgram);
    QCOMPARE(window->windowTitle(), caption);
    QVERIFY(!window->poll_timer()->isActive());
    for (const char* name : {"storeProgramAction", "recallProgramAction", "copyInputAction",
                             "copyOutputAction", "saveProjectAction", "loadProjectAction",
                             "triggerSettingAction", "sleepSettingAction", "ipSettingAction"}) {
      auto* action = window->findChild<QAction*>(QLatin1String(name));
      QVERIFY2(action != nullptr && !action->isEnabled() &&
                   action->toolTip() == QLatin1String(editor::kNoDeviceTip),
               name);
    }
    QVERIFY(window->findChild<QAction*>(QStringLiteral("savePresetAction"))->isEnabled());

    const model::EditTarget gain{window->slot(), model::ParamId::kGain, 2};
    QCOMPARE(int(editors.core().edits.SetText(gain, u"-6").status), int(model::EditStatus::kHeld));
    auto* actions = window->findChild<editor::ProgramActions*>();
    QString chosen;
    actions->set_file_chooser(
        [&chosen](QWidget*, bool, const QString&, const QString&) { return chosen; });
    const auto saved_gain = [](const QString& file) {
      QFile saved(file);
      return saved.open(QIODevice::ReadOnly)
                 ? int(uint8_t(saved.readAll().at(protocol::family_a::kGainOffset[2])))
                 : -1;
    };
    // Declined, asked again, then agreed once for good.
    messenger.answers = {device::MessageAnswer::kNo, device::MessageAnswer::kYes};
    actions->SavePreset();
    QCOMPARE(saved_gain(path), int(uint8_t(preset.at(protocol::family_a::kGainOffset[2]))));
    actions->SavePreset();
    const int questions = int(messenger.shown.size());
    actions->SavePreset();
    QCOMPARE(int(messenger.shown.size()), questions);
    QCOMPARE(saved_gain(path), editors.core().edits.Index(gain));
    QCOMPARE(sent, 0);
    window->CloseWithoutAsking();

    // A backup is kept as it is: Save goes where the user chooses.
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("backups")));
    const QString backup = dir.filePath(QStringLiteral("backups/edit-1.480"));
    QCOMPARE(programs::WriteFileAtomically(backup, preset), QString());
    window = editor::OpenPresetOffline(editors, runtime, backup);
    QVERIFY(window != nullptr);
    actions = window->findChild<editor::ProgramActions*>();
    actions->set_file_chooser(
        [&chosen](QWidget*, bool, const QString&, const QString&) { return chosen; });
    QCOMPARE(
        int(editors.core().edits.SetText({window->slot(), model::ParamId::kGain, 2}, u"-9").status),
        int(model::EditStatus::kHeld));
    chosen = dir.filePath(QStringLiteral("kept.480"));
    actions->SavePreset();
    QFile kept_backup(backup);
    QVERIFY(kept_backup.open(QIODevice::ReadOnly));
    QCOMPARE(kept_backup.readAll(), preset);
    QCOMPARE(saved_gain(chosen),
             editors.core().edits.Index({window->slot(), model::ParamId::kGain, 2}));
    QCOMPARE(window->windowTitle(), QStringLiteral("Offline RL-4800 - file loaded: kept.480"));
    QCOMPARE(sent, 0);
    window->CloseWithoutAsking();
  }
};

QTEST_MAIN(ProgramDialogsTest)
#include "ProgramDialogsTest.moc"
