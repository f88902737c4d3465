#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSignalSpy>
#include <QtTest>
#include <array>
#include <memory>
#include <tuple>

#include "comm/Comm.h"
#include "connect/ConnectRuntime.h"
#include "connect/DeviceReadout.h"
#include "device/Commands.h"
#include "device/DeviceTypes.h"
#include "editor/BlockDiagram.h"
#include "editor/EditorManager.h"
#include "editor/EditorWindow.h"
#include "editor/FamilyBEditor.h"
#include "editor/MeterPointLabel.h"
#include "editor/MeterPoints.h"
#include "editor/ui/EditorWindowRigs.h"
#include "graph/ui/ResponseGraphWindow.h"
#include "protocol/ValueLists.h"
#include "support/RecordingMessenger.h"
#include "support/SimHarness.h"

using tessaly::device::MessageAnswer;
using tessaly::device::MessageIcon;
using tessaly::editor::EditorManager;
using tessaly::editor::EditorWindow;
using tessaly::test::RecordingMessenger;
using tessaly::test::SimHarness;
namespace comm = tessaly::comm;
namespace device = tessaly::device;
namespace model = tessaly::model;

// Editor windows in an MDI area over two read-out devices on loopback: an RK-540 in slot 0 and a
// 540S in slot 1.
class EditorShellTest : public QObject {
  Q_OBJECT

 private:
  struct Fixture : tessaly::test::TwoEditorRig {
    bool Start() { return ReadOutBoth(); }
    model::EditOutcome SetGain(int slot, int channel, const char* text) {
      return editors->core().edits.SetText({slot, model::ParamId::kGain, channel, -1},
                                           QString::fromLatin1(text));
    }
    int Gain(int slot, int channel) {
      return editors->core().edits.Index({slot, model::ParamId::kGain, channel, -1});
    }
    // Empty when the device's memory equals the PC's image of it.
    QString Difference(int slot) {
      const QByteArray device = sim.device(devices[slot]).Image();
      const auto pc = runtime.store.Data(slot)->Image();
      for (size_t i = 0; i < pc.size(); ++i) {
        if (static_cast<uint8_t>(device[static_cast<qsizetype>(i)]) != pc[i]) {
          return QStringLiteral("byte %1").arg(i);
        }
      }
      return {};
    }
  };

 private slots:
  void initTestCase() { qputenv("TESSALY_TIME_SCALE", "0.05"); }

  void opensOncePerDevice() {
    Fixture f;
    QVERIFY(f.Start());
    comm::CommState& cs = f.comm.state();
    cs.current_device = 1;
    f.runtime.store.State(0)->lock = 1;  // the device's front panel is locked
    EditorWindow* editor = f.editors->Open(0);
    QVERIFY(editor != nullptr);
    QCOMPARE(f.editor_count, int16_t{0});
    QVERIFY(cs.table[0].editor_open);
    QVERIFY(f.comm.reports_link_loss());
    QCOMPARE(cs.current_device, int16_t{0});
    QVERIFY(editor->poll_timer() != nullptr && editor->poll_timer()->isActive());
    QCOMPARE(editor->PageKey(editor->current_page()), QStringLiteral("gains"));
    QCOMPARE(editor->findChild<QLabel*>(QStringLiteral("lockIndicator"))->text(),
             QStringLiteral("Locked"));
    QCOMPARE(f.FrameOf(0)->windowTitle(),
             QStringLiteral("IP:%1 RK-540 - program loaded: ").arg(f.sim.address(f.devices[0])) +
                 f.runtime.names.At(0)->current_program_name);
    const qsizetype heard = f.sim.device(f.devices[0]).ReceivedCommands().size();

    QVERIFY(f.editors->Open(0) == nullptr);
    QCOMPARE(f.messenger.shown.size(), 1);
    QCOMPARE(f.messenger.shown[0].text, QStringLiteral("The window is already open"));
    QCOMPARE(f.messenger.shown[0].title, QStringLiteral("Edit window"));
    QCOMPARE(f.messenger.shown[0].icon, MessageIcon::kExclamation);
    QCOMPARE(f.area->subWindowList().size(), 1);
    QCOMPARE(f.editor_count, int16_t{0});
    QCOMPARE(f.sim.device(f.devices[0]).ReceivedCommands().size(), heard);
  }

  void opensInsideTheArea_data() {
    QTest::addColumn<QSize>("screen");
    QTest::newRow("laptop") << QSize(1366, 768);
    QTest::newRow("desktop") << QSize(1920, 1200);
  }

  // Scroll bars around an editor would hide its meters and mute buttons.
  void opensInsideTheArea() {
    QFETCH(QSize, screen);
    Fixture f;
    QVERIFY(f.Start());
    f.frame.resize(screen);
    QCoreApplication::processEvents();
    for (int slot = 0; slot < 2; ++slot) {
      QVERIFY(f.editors->Open(slot) != nullptr);
      QCoreApplication::processEvents();
      const QRect room = f.area->viewport()->rect();
      QVERIFY2(room.contains(f.FrameOf(slot)->geometry()),
               qPrintable(QStringLiteral("slot %1").arg(slot)));
    }
    // Squeezed to a third of the screen's width, as tiling three editors does, the pages scroll
    // inside their windows instead of being cut off.
    for (int slot = 0; slot < 2; ++slot) {
      QMdiSubWindow* frame = f.FrameOf(slot);
      frame->showNormal();
      frame->resize(screen.width() / 3, screen.height() / 2);
      QCoreApplication::processEvents();
      const QSize least = frame->widget()->minimumSizeHint();
      QVERIFY2(least.width() <= frame->width() && least.height() <= frame->height(),
               qPrintable(QStringLiteral("slot %1 needs %2x%3 in %4x%5")
                              .arg(slot)
                              .arg(least.width())
                              .arg(least.height())
                              .arg(frame->width())
                              .arg(frame->height())));
    }
  }

  void close_data() {
    QTest::addColumn<bool>("device_lost");
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("closed");
    QTest::newRow("answered yes") << false << MessageAnswer::kYes << true << true;
    QTest::newRow("answered no") << false << MessageAnswer::kNo << true << false;
    // The lost device's window stays; closing it asks about the edit the device never got.
    QTest::newRow("device lost") << true << MessageAnswer::kNo << false << false;
  }

  void close() {
    QFETCH(bool, device_lost);
    QFETCH(MessageAnswer, answer);
    QFETCH(bool, asked);
    QFETCH(bool, closed);
    Fixture f;
    QVERIFY(f.Start());
    QVERIFY(f.editors->Open(0) != nullptr);
    QVERIFY(f.editors->Open(1) != nullptr);
    QCOMPARE(f.editor_count, int16_t{1});
    if (device_lost) {
      f.sim.device(f.devices[0]).SetSilent(true);
      QVERIFY(f.SetGain(0, 0, "-6").status != model::EditStatus::kDone);
      QVERIFY(f.editors->EditorOf(0)->offline());
    }
    f.messenger.answers.push_back(answer);
    f.FrameOf(0)->close();
    if (device_lost) QCOMPARE(f.messenger.shown.back().title, QStringLiteral("Edits not sent"));
    QCoreApplication::processEvents();
    bool was_asked = false;
    for (const device::Message& m : f.messenger.shown) {
      if (m.title == QStringLiteral("Close edit window")) {
        QCOMPARE(m.text, QStringLiteral("               Are you sure ? "));
        was_asked = true;
      }
    }
    QCOMPARE(was_asked, asked);
    QCOMPARE(f.editors->EditorOf(0) == nullptr, closed);
    QCOMPARE(f.comm.state().table[0].editor_open, !closed);
    QCOMPARE(f.editor_count, int16_t(closed ? 0 : 1));
    // The other device's window is never touched.
    QVERIFY(f.editors->EditorOf(1) != nullptr);
    QVERIFY(f.comm.state().table[1].editor_open);
  }

  void selectingTheShownPageDoesNothing() {
    Fixture f;
    QVERIFY(f.Start());
    EditorWindow* editor = f.editors->Open(1);
    QVERIFY(editor != nullptr);
    QSignalSpy shown(editor, &EditorWindow::pageShown);
    QSignalSpy channel(editor, &EditorWindow::channelPageShown);
    const int gains = editor->current_page();
    auto* tabs = editor->findChild<QWidget*>(QStringLiteral("pageTabs"));
    tabs->setFocus();
    QApplication::setActiveWindow(&f.frame);
    QTRY_VERIFY(tabs->hasFocus());
    editor->ShowPage(gains);
    QCOMPARE(shown.count(), 0);
    QVERIFY(tabs->hasFocus());

    const int page = editor->PageIndex(QStringLiteral("channel-in2l"));
    QVERIFY(page >= 0);
    editor->ShowPage(page);
    QCOMPARE(shown.count(), 1);
    QCOMPARE(channel.count(), 1);
    QCOMPARE(channel[0][0].toInt(), 2);
    QCOMPARE(editor->current_page(), page);
    QVERIFY(!tabs->hasFocus());
  }

  void blockDiagramSelectsPages_data() {
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("block");
    QTest::addColumn<QString>("page");  // empty: the shown page, nothing happens
    QTest::newRow("a input gate") << 0 << 0 << "Gate"
                                  << "channel-inl";
    QTest::newRow("a input name") << 0 << 1 << "InR"
                                  << "channel-inr";
    QTest::newRow("a input delay") << 0 << 1 << "Delay"
                                   << "delays";
    QTest::newRow("a output limiter") << 0 << 4 << "Limiter"
                                      << "channel-sub";
    QTest::newRow("a routing") << 0 << -1 << "Routing"
                               << "settings";
    QTest::newRow("b in2r compressor") << 1 << 3 << "Comp"
                                       << "channel-in2r";
    QTest::newRow("b output name") << 1 << 5 << "Right"
                                   << "channel-right";
    QTest::newRow("b output delay") << 1 << 6 << "Delay"
                                    << "delays";
    QTest::newRow("b routing") << 1 << -1 << "Routing"
                               << "routing";
    QTest::newRow("b gain is shown") << 1 << 4 << "Gain"
                                     << "";
  }

  void blockDiagramSelectsPages() {
    QFETCH(int, slot);
    QFETCH(int, channel);
    QFETCH(QString, block);
    QFETCH(QString, page);
    Fixture f;
    QVERIFY(f.Start());
    EditorWindow* editor = f.editors->Open(slot);
    QVERIFY(editor != nullptr);
    QSignalSpy shown(editor, &EditorWindow::pageShown);
    auto* diagram = editor->findChild<tessaly::editor::BlockDiagram*>();
    QVERIFY(diagram != nullptr && diagram->isVisible());
    const QRect rect = diagram->BlockRect(channel, block);
    QVERIFY(!rect.isEmpty());
    QTest::mouseClick(diagram, Qt::LeftButton, {}, rect.center());
    QCOMPARE(shown.count(), page.isEmpty() ? 0 : 1);
    QCOMPARE(editor->PageKey(editor->current_page()), page.isEmpty() ? "gains" : page);
  }

  // Each family B channel page chooses its own channel's meter point; family A has none.
  void meterPointLabelsOnFamilyBChannelPages() {
    Fixture f;
    QVERIFY(f.Start());
    QVERIFY(f.editors->Open(0)->findChildren<tessaly::editor::MeterPointLabel*>().isEmpty());
    auto* editor = qobject_cast<tessaly::editor::FamilyBEditor*>(f.editors->Open(1));
    QVERIFY(editor != nullptr);
    tessaly::editor::MeterPoints& points = editor->meter_points();
    for (int channel = 0; channel < 7; ++channel) {  // four inputs, three outputs
      const QString key = QStringLiteral("channel-") +
                          tessaly::protocol::ChannelName(device::kType540S, channel).toLower();
      QWidget* page = editor->Page(editor->PageIndex(key));
      QVERIFY(page != nullptr);
      auto* label = page->findChild<tessaly::editor::MeterPointLabel*>();
      QVERIFY(label != nullptr);
      label->menu()->actions().at(2)->trigger();
      QCOMPARE(points.Choice(channel), 2);
      QCOMPARE(points.Choice((channel + 1) % 7), channel == 6 ? 2 : 0);
      QCOMPARE(page->findChild<QLabel*>(QStringLiteral("meterPointCaption"))->text(),
               channel < 4 ? QStringLiteral("After Compressor") : QStringLiteral("After Limiter"));
    }
  }

  // From the keyboard: Left and Right walk the blocks (wrapping), Enter opens the page.
  void blockDiagramFromTheKeyboard() {
    for (const auto& [keys, page] :
         {std::pair{"Right Right", "channel-in1l"}, std::pair{"Left", "routing"}}) {
      Fixture f;
      QVERIFY(f.Start());
      EditorWindow* editor = f.editors->Open(1);
      auto* diagram = editor->findChild<tessaly::editor::BlockDiagram*>();
      for (const QString& key : QString::fromLatin1(keys).split(QLatin1Char(' '))) {
        QTest::keyClick(diagram, key == QLatin1String("Left") ? Qt::Key_Left : Qt::Key_Right);
      }
      QTest::keyClick(diagram, Qt::Key_Return);
      QCOMPARE(editor->PageKey(editor->current_page()), QString::fromLatin1(page));
    }
  }

  void diagramCodes_data() {
    QTest::addColumn<bool>("family_b");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("page");
    const std::array<std::tuple<bool, int, int>, 11> rows = {{{false, 5, 0},
                                                              {false, 14, 8},
                                                              {false, 601, 7},
                                                              {false, 604, -1},
                                                              {false, 1, -1},
                                                              {true, 26, 2},
                                                              {true, 401, 5},
                                                              {true, 305, 6},
                                                              {true, 503, 8},
                                                              {true, 501, -1},
                                                              {true, 40, -1}}};
    for (const auto& [family_b, code, page] : rows) {
      QTest::addRow("%s %d", family_b ? "b" : "a", code) << family_b << code << page;
    }
  }

  void diagramCodes() {
    QFETCH(bool, family_b);
    QFETCH(int, code);
    QFETCH(int, page);
    QCOMPARE(tessaly::editor::DiagramPage(family_b, code), page);
  }

  void activationMovesCurrentDevice() {
    Fixture f;
    QVERIFY(f.Start());
    QVERIFY(f.editors->Open(0) != nullptr);
    QVERIFY(f.editors->Open(1) != nullptr);
    for (const int slot : {0, 1, 0}) {
      f.area->setActiveSubWindow(f.FrameOf(slot));
      QCOMPARE(f.comm.state().current_device, int16_t(slot));
      QCOMPARE(f.editors->ActiveSlot(), slot);
    }
  }

  void undoAndRedoActOnTheActiveEditor() {
    Fixture f;
    QVERIFY(f.Start());
    QVERIFY(f.editors->Open(0) != nullptr);
    QVERIFY(f.editors->Open(1) != nullptr);
    const int before0 = f.Gain(0, 1);
    const int before1 = f.Gain(1, 1);
    QCOMPARE(f.SetGain(0, 1, "-6").status, model::EditStatus::kDone);
    QCOMPARE(f.SetGain(1, 1, "-12").status, model::EditStatus::kDone);
    const int after0 = f.Gain(0, 1);
    const int after1 = f.Gain(1, 1);
    QVERIFY(after0 != before0 && after1 != before1);

    QAction* undo = f.editors->undo_action();
    QAction* redo = f.editors->redo_action();
    QCOMPARE(undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    QCOMPARE(redo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
    f.area->setActiveSubWindow(f.FrameOf(0));
    QVERIFY(undo->isEnabled());
    QVERIFY(!redo->isEnabled());
    QVERIFY(undo->text().size() > QStringLiteral("&Undo").size());
    undo->trigger();
    QCOMPARE(f.Gain(0, 1), before0);
    QCOMPARE(f.Gain(1, 1), after1);
    QCOMPARE(f.Difference(0), QString());
    QVERIFY(!undo->isEnabled());
    QVERIFY(redo->isEnabled());

    f.area->setActiveSubWindow(f.FrameOf(1));
    QVERIFY(undo->isEnabled());
    QVERIFY(!redo->isEnabled());
    undo->trigger();
    QCOMPARE(f.Gain(1, 1), before1);
    QCOMPARE(f.Difference(1), QString());

    f.area->setActiveSubWindow(f.FrameOf(0));
    redo->trigger();
    QCOMPARE(f.Gain(0, 1), after0);
    QCOMPARE(f.Gain(1, 1), before1);
    QCOMPARE(f.Difference(0), QString());
  }

  // "View All" opens the device's graph window beside the editor, once, and sends nothing.
  void viewAllOpensOneGraphWindow() {
    Fixture f;
    QVERIFY(f.Start());
    EditorWindow* editor = f.editors->Open(1);
    QVERIFY(editor != nullptr);
    const qsizetype heard = f.sim.device(f.devices[1]).ReceivedCommands().size();
    auto* view_all = editor->findChild<QAction*>(QStringLiteral("viewAllAction"));
    QVERIFY(view_all != nullptr);
    view_all->trigger();
    view_all->trigger();
    const auto graphs = f.area->findChildren<tessaly::graph::ResponseGraphWindow*>();
    QCOMPARE(graphs.size(), 1);
    QCOMPARE(graphs[0]->shown().size(), size_t{7});
    QCOMPARE(f.area->subWindowList().size(), 2);
    QCOMPARE(f.sim.device(f.devices[1]).ReceivedCommands().size(), heard);
  }
};

QTEST_MAIN(EditorShellTest)
#include "EditorShellTest.moc"
