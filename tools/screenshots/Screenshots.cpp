// Renders the main window, the device list and every page of both editors against emulated
// devices into PNG files: main-window.png, device-list.png, editor-<a|b>-<page>.png, channel pages
// with a shaped EQ (editor-<a|b>-channel-<name>-eq.png), graph-window.png, a measurement on a
// channel page (editor-a-measurement.png) and an EQ import preview (eq-import-preview.png), with
// the main window at 1280x760; the same again at 1920x1080 with "-1920x1080" before ".png"; the
// dialogs at their own size; editor-a-offline.png and compare-window.png.
//
//   QT_QPA_PLATFORM=offscreen tessaly-screenshots <output folder>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <array>
#include <cstdio>
#include <functional>

#include "ConnectShots.h"
#include "EqShots.h"
#include "ProgramShots.h"
#include "app/AppState.h"
#include "app/MainWindow.h"
#include "app/SettingsDialog.h"
#include "comm/Comm.h"
#include "connect/ConnectRuntime.h"
#include "connect/InitConfig.h"
#include "connect/ui/DeviceListWindow.h"
#include "device/DeviceTypes.h"
#include "editor/DeviceSync.h"
#include "editor/EditorManager.h"
#include "editor/EditorMeters.h"
#include "editor/EditorWindow.h"
#include "graph/ui/ResponseGraphWindow.h"
#include "model/EditPath.h"
#include "protocol/Offsets.h"
#include "support/RecordingMessenger.h"
#include "support/SimHarness.h"
#include "widgets/Theme.h"

namespace {

using tessaly::app::MainWindow;

bool WaitFor(const std::function<bool()>& done, int ms = 15000) {
  QDeadlineTimer deadline(ms);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

bool Save(QWidget* widget, const QDir& folder, const QString& name) {
  QCoreApplication::processEvents();
  const QString path = folder.filePath(name + QStringLiteral(".png"));
  if (!widget->grab().save(path)) {
    std::fprintf(stderr, "screenshots: could not write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

bool SaveEditorPages(MainWindow& window, int slot, const QString& family, const QDir& folder,
                     const QString& suffix) {
  tessaly::editor::EditorWindow* editor = window.editors().EditorOf(slot);
  if (editor == nullptr) return false;
  auto* frame = qobject_cast<QMdiSubWindow*>(editor->parentWidget());
  frame->showMaximized();
  // The meters show the device's levels once the window's poll has run for a moment.
  window.mdi_area()->setActiveSubWindow(frame);
  auto* meters = editor->findChild<tessaly::editor::EditorMeters*>();
  int readings = 0;
  if (meters != nullptr) {
    const QMetaObject::Connection counting =
        QObject::connect(&meters->poll(), &tessaly::meters::MeterPoll::readingChanged, meters,
                         [&readings] { ++readings; });
    WaitFor([&] { return readings >= 8; }, 6000);
    QObject::disconnect(counting);
  }
  bool ok = true;
  for (int page = 0; page < editor->page_count(); ++page) {
    editor->ShowPage(page);
    ok = Save(frame, folder,
              QStringLiteral("editor-") + family + QLatin1Char('-') + editor->PageKey(page) +
                  suffix) &&
         ok;
  }
  frame->showNormal();
  return ok;
}

// The 540S's gains page while its inputs clip, its left and right outputs limit and the device
// reports sleep: every alarm the meters have, in one picture.
bool SaveMeterAlarms(MainWindow& window, tessaly::sim::SimDevice& device, const QDir& folder) {
  tessaly::editor::EditorWindow* editor = window.editors().EditorOf(1);
  auto* meters = editor != nullptr ? editor->findChild<tessaly::editor::EditorMeters*>() : nullptr;
  if (meters == nullptr) return false;
  QByteArray payload(37, '\0');
  const std::array<uint8_t, 7> levels = {230, 215, 60, 45, 200, 190, 110};
  for (int point = 0; point < 3; ++point) {
    for (int channel = 0; channel < 7; ++channel) {
      payload[point * 7 + channel] = static_cast<char>(levels[static_cast<size_t>(channel)]);
    }
  }
  payload[21] = 0x43;  // In1L and In1R clip, asleep
  payload[22] = 0x10;  // Left limits
  for (int word = 0; word < 6; ++word) {
    const uint16_t value = word == 4 || word == 5 ? 19500 : 32767;  // -4.5 dB
    payload[24 + 2 * word] = static_cast<char>(value >> 8);
    payload[25 + 2 * word] = static_cast<char>(value & 0xFF);
  }
  device.SetMeterPayload(payload);
  auto* frame = qobject_cast<QMdiSubWindow*>(editor->parentWidget());
  frame->showMaximized();
  window.mdi_area()->setActiveSubWindow(frame);
  editor->ShowPage(editor->PageIndex(QStringLiteral("gains")));
  const bool shown = WaitFor(
      [&] {
        return meters->poll().has_reading() && meters->poll().sleep_shown() &&
               meters->poll().reading().channels[0].clip;
      },
      6000);
  editor->poll_timer()->stop();  // the picture catches the blink while it is lit
  const bool saved = shown && Save(frame, folder, QStringLiteral("editor-b-meters-alarms"));
  editor->poll_timer()->start();
  device.SetMeterPayload({});
  frame->showNormal();
  return saved;
}

// Gives the first input and the first output a shaped EQ and crossovers, as a user would.
void ShapeEq(tessaly::editor::EditorWindow& editor, int output) {
  tessaly::model::EditPath& edits = editor.context().edits;
  const int slot = editor.slot();
  const auto set = [&](const char* id, int channel, int element, const char* text) {
    edits.SetText(
        {slot, tessaly::model::FindParameter(QString::fromLatin1(id))->id, channel, element},
        QString::fromLatin1(text));
  };
  set("eq.N.type", 0, 0, "HP-Q");
  set("eq.N.freq", 0, 0, "35");
  set("eq.N.freq", 0, 3, "120");
  set("eq.N.gain", 0, 3, "4.5");
  set("eq.N.freq", 0, 6, "900");
  set("eq.N.gain", 0, 6, "-6");
  set("eq.N.q", 0, 6, "2.5");
  set("eq.N.type", 0, 10, "HiShQ");
  set("eq.N.gain", 0, 10, "3");
  set("eq.N.gain", output, 1, "-3");
  set("hp.slope", output, -1, "-24dB/oct LR");
  set("hp.freq", output, -1, "90");
  set("lp.slope", output, -1, "-12dB/oct BW");
  set("lp.freq", output, -1, "15000");
}

bool SaveShapedPage(tessaly::editor::EditorWindow& editor, const QString& key, const QDir& folder,
                    const QString& name) {
  auto* frame = qobject_cast<QMdiSubWindow*>(editor.parentWidget());
  frame->showMaximized();
  editor.ShowPage(editor.PageIndex(key));
  const bool ok = Save(frame, folder, name);
  frame->showNormal();
  return ok;
}

// The graph window of a family B device with every channel and two outputs summed with an input.
bool SaveGraphWindow(tessaly::editor::EditorWindow& editor, const QDir& folder,
                     const QString& suffix) {
  auto* action = editor.findChild<QAction*>(QStringLiteral("viewAllAction"));
  if (action == nullptr) return false;
  action->trigger();
  QCoreApplication::processEvents();
  auto* graph = editor.window()->findChild<tessaly::graph::ResponseGraphWindow*>();
  if (graph == nullptr) return false;
  for (const char* option : {"sumOption4_1", "sumOption5_2"}) {
    auto* button = graph->findChild<QRadioButton*>(QString::fromLatin1(option));
    if (button != nullptr) button->setChecked(true);
  }
  QWidget* frame = graph->parentWidget() != nullptr ? graph->parentWidget() : graph;
  frame->showMaximized();
  const bool ok = Save(frame, folder, QStringLiteral("graph-window") + suffix);
  frame->close();
  return ok;
}

// The RK-540's editor after its device went silent under two edits and a third made off-line
// (the pending marks show), then the compare window once the device answers again holding a
// change of its own.
bool SaveOfflineAndCompare(MainWindow& window, tessaly::sim::SimDevice& device,
                           const QDir& folder) {
  tessaly::editor::EditorWindow* editor = window.editors().EditorOf(0);
  if (editor == nullptr) return false;
  tessaly::model::EditPath& edits = editor->context().edits;
  const auto set = [&](tessaly::model::ParamId id, int channel, int element, const char* text) {
    (void)edits.SetText({0, id, channel, element}, QString::fromLatin1(text));
  };
  auto* frame = qobject_cast<QMdiSubWindow*>(editor->parentWidget());
  frame->showMaximized();
  window.mdi_area()->setActiveSubWindow(frame);
  editor->ShowPage(editor->PageIndex(QStringLiteral("channel-inl")));
  device.SetSilent(true);
  set(tessaly::model::ParamId::kGain, 0, -1, "-4.5");
  if (!WaitFor([&] { return editor->offline(); }, 20000)) return false;
  set(tessaly::model::ParamId::kEqGain, 0, 3, "2");
  set(tessaly::model::ParamId::kGain, 1, -1, "-3");
  bool ok = Save(frame, folder, QStringLiteral("editor-a-offline"));

  device.SetSilent(false);
  QByteArray image = device.Image();
  const int offset = tessaly::protocol::LayoutOfType(tessaly::device::kTypeRk540).gain_offset[2];
  image[offset] = static_cast<char>(static_cast<uint8_t>(image[offset]) + 6);
  device.SetImage(image);
  if (auto* reconnect = editor->findChild<QPushButton*>(QStringLiteral("reconnectButton"))) {
    reconnect->click();
  }
  auto* sync = editor->findChild<tessaly::editor::DeviceSync*>();
  QWidget* compare = sync != nullptr ? sync->compare_window() : nullptr;
  ok = compare != nullptr && Save(compare, folder, QStringLiteral("compare-window")) && ok;
  if (compare != nullptr) compare->close();
  frame->showNormal();
  return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  tessaly::widgets::ApplyTheme(app);
  const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots"));
  if (!QDir().mkpath(folder.path())) return 1;

  tessaly::test::SimHarness sim;
  const int a = sim.AddTcp({.type = tessaly::device::kTypeRk540, .name = "Front Fill"});
  const int b = sim.AddTcp({.type = tessaly::device::kType540S, .name = "Main PA"});
  if (a < 0 || b < 0) return 1;

  QTemporaryDir program_folder;
  tessaly::connect::InitConfig config;
  config.connection_mode = tessaly::comm::kLinkTcp;
  config.single = {127, 0, 0, 2};
  config.range_start = {127, 0, 0, 2};
  config.range_end = {127, 0, 0, 3};
  QFile cfg(tessaly::connect::InitConfigPath(program_folder.path()));
  if (!cfg.open(QIODevice::WriteOnly) || cfg.write(config.Encode()) != 28) return 1;
  cfg.close();

  tessaly::test::RecordingMessenger messenger;
  tessaly::app::AppState state(messenger);
  state.program_folder = program_folder.path();
  state.locations = tessaly::programs::FileLocations::InFolder(program_folder.path());
  state.comm().set_device_port(sim.port());
  // The connect dialogs on a run of their own: their set-up resets the network links.
  tessaly::comm::Comm dialog_comm(messenger);
  tessaly::connect::ConnectRuntime dialog_runtime(dialog_comm, program_folder.path());
  bool ok = SaveConnectDialogs(dialog_runtime.context, folder);

  MainWindow window(state);
  if (!window.Load()) return 1;
  window.resize(1280, 760);
  window.show();

  window.ConnectAndOpenFirst();
  if (!WaitFor([&] { return window.editors().EditorOf(0) != nullptr; })) {
    std::fprintf(stderr, "screenshots: the first device's editor did not open\n");
    return 1;
  }
  auto* list = window.mdi_area()->findChild<tessaly::connect::DeviceListWindow*>();
  if (list == nullptr) return 1;
  list->OpenRow(1);
  if (!WaitFor([&] { return window.editors().EditorOf(1) != nullptr; })) {
    std::fprintf(stderr, "screenshots: the second device's editor did not open\n");
    return 1;
  }
  ok = Save(list->parentWidget() != nullptr ? list->parentWidget() : list, folder,
            QStringLiteral("device-list")) &&
       ok;
  ok = SaveMeterAlarms(window, sim.device(b), folder) && ok;
  ok = SaveProgramDialogs(window.editors().EditorOf(0), QStringLiteral("a"), folder) && ok;
  ok = SaveProgramDialogs(window.editors().EditorOf(1), QStringLiteral("b"), folder) && ok;
  // The default size keeps the plain names; the large one says its size.
  for (const QSize size : {QSize(1280, 760), QSize(1920, 1080)}) {
    const QString suffix = size == QSize(1280, 760)
                               ? QString()
                               : QStringLiteral("-%1x%2").arg(size.width()).arg(size.height());
    window.resize(size);
    // The main window as a user leaves it: the 540S's editor in front, filling the window.
    auto* front = qobject_cast<QMdiSubWindow*>(window.editors().EditorOf(1)->parentWidget());
    window.mdi_area()->setActiveSubWindow(front);
    front->showMaximized();
    QCoreApplication::processEvents();
    ok = Save(&window, folder, QStringLiteral("main-window") + suffix) && ok;
    front->showNormal();
    ok = SaveEditorPages(window, 0, QStringLiteral("a"), folder, suffix) && ok;
    ok = SaveEditorPages(window, 1, QStringLiteral("b"), folder, suffix) && ok;
    ShapeEq(*window.editors().EditorOf(0), 2);
    ShapeEq(*window.editors().EditorOf(1), 4);
    ok = SaveShapedPage(*window.editors().EditorOf(0), QStringLiteral("channel-inl"), folder,
                        QStringLiteral("editor-a-channel-inl-eq") + suffix) &&
         ok;
    ok = SaveShapedPage(*window.editors().EditorOf(1), QStringLiteral("channel-in1l"), folder,
                        QStringLiteral("editor-b-channel-in1l-eq") + suffix) &&
         ok;
    ok = SaveShapedPage(*window.editors().EditorOf(1), QStringLiteral("channel-left"), folder,
                        QStringLiteral("editor-b-channel-left-eq") + suffix) &&
         ok;
    ok = SaveGraphWindow(*window.editors().EditorOf(1), folder, suffix) && ok;
  }
  ok = SaveEqShots(*window.editors().EditorOf(0), folder) && ok;

  ok = SaveOfflineAndCompare(window, sim.device(a), folder) && ok;
  {
    tessaly::app::SettingsDialog settings(state.settings, state.locations, &window);
    settings.show();
    ok = Save(&settings, folder, QStringLiteral("settings-window")) && ok;
  }

  messenger.answers.push_back(tessaly::device::MessageAnswer::kYes);
  window.close();
  return ok ? 0 : 1;
}
