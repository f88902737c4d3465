#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>
#include <set>

#include "connect/DeviceList.h"
#include "connect/DeviceReadout.h"
#include "connect/ui/DeviceListWindow.h"
#include "device/DeviceTypes.h"
#include "editor/CompareWindow.h"
#include "editor/DeviceSync.h"
#include "editor/EditorWindow.h"
#include "editor/PendingDot.h"
#include "editor/ui/EditorWindowRigs.h"
#include "model/ParameterDescriptor.h"
#include "protocol/Offsets.h"
#include "protocol/ValueLists.h"
#include "widgets/LedMeter.h"

namespace comm = tessaly::comm;
namespace device = tessaly::device;
namespace editor = tessaly::editor;
namespace model = tessaly::model;
using Key = model::PendingEdits::Key;

// One device with its editor open, lost with edits made, then brought back: over loopback TCP
// (127.0.0.150 onwards) or a pseudo-terminal paced at the device's baud rate.
class StayInStepTest : public QObject {
  Q_OBJECT

 private:
  struct Rig : tessaly::test::OneEditorRig {
    model::EditPath& edits() { return editors->core().edits; }
    const model::PendingEdits& pending() { return edits().Pending(0); }
    editor::DeviceSync* sync() { return window->findChild<editor::DeviceSync*>(); }
    QByteArray PcImage() {
      const auto image = runtime.store.Data(0)->Image();
      return {reinterpret_cast<const char*>(image.data()), static_cast<qsizetype>(image.size())};
    }
    int GainOffset(int channel) const {
      return tessaly::protocol::LayoutOfType(type).gain_offset[static_cast<size_t>(channel)];
    }
    int ShownDots() const {
      int shown = 0;
      for (const auto* dot : window->findChildren<editor::PendingDot*>()) shown += !dot->isHidden();
      return shown;
    }
    int Messages(const char* title) const {
      int count = 0;
      for (const device::Message& m : messenger.shown) count += m.title == QLatin1String(title);
      return count;
    }
    // Edits `id` of `channel` to another value; returns its keys, linked channels included.
    std::set<Key> Edit(model::ParamId id, int channel) {
      const model::EditTarget target{0, id, channel, -1};
      const int now = edits().Index(target);
      const int next = now > target.parameter().minimum ? now - 1 : now + 1;
      const model::EditOutcome out = edits().SetIndex(target, next);
      std::set<Key> keys{{id, channel, -1}};
      for (const int follower : out.followers) keys.insert({id, follower, -1});
      return keys;
    }

    // The device stops answering; two edits follow, the first one's reply is lost.
    std::set<Key> LoseWithEdits() {
      dev().SetSilent(true);
      std::set<Key> keys = Edit(model::ParamId::kGain, 0);
      const std::set<Key> more = Edit(model::ParamId::kMute, 2);
      keys.insert(more.begin(), more.end());
      return keys;
    }
  };

  static std::set<Key> Keys(const std::vector<tessaly::connect::ResyncChoice>& choices) {
    std::set<Key> keys;
    for (const auto& c : choices) keys.insert(c.difference.Key());
    return keys;
  }

 private slots:
  void initTestCase() { qputenv("TESSALY_TIME_SCALE", "0.2"); }

  void LostDeviceIsComparedAndEachChoiceSettlesIt_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<bool>("cli");
    const int a = device::kTypeRk540;
    const int b = device::kType540S;
    QTest::newRow("A tcp, send PC") << a << "127.0.0.150"
                                    << "sendPcButton" << true;
    QTest::newRow("A tcp, take device") << a << "127.0.0.150"
                                        << "takeDeviceButton" << true;
    QTest::newRow("A tcp, per row") << a << "127.0.0.150"
                                    << "applyChoicesButton" << true;
    QTest::newRow("B tcp, per row") << b << "127.0.0.151"
                                    << "applyChoicesButton" << false;
    QTest::newRow("B pty, send PC") << b << ""
                                    << "sendPcButton" << false;
  }

  void LostDeviceIsComparedAndEachChoiceSettlesIt() {
    QFETCH(int, type);
    QFETCH(QString, address);
    QFETCH(QString, choice);
    QFETCH(bool, cli);
    Rig rig;
    QVERIFY(rig.Open(type, address));
    const QString caption = rig.window->windowTitle();

    std::set<Key> pending = rig.LoseWithEdits();
    // The link-loss message stays as it was; the editor does not close.
    QTRY_VERIFY(rig.window->offline());
    QCOMPARE(rig.Messages("Communication problem"), 1);
    QVERIFY(rig.editors->EditorOf(0) == rig.window);
    QVERIFY(rig.window->findChild<QWidget*>("offlineBar")->isVisible());
    QCOMPARE(rig.window->windowTitle(), caption + " - Off-line");
    for (auto* meter : rig.window->findChildren<tessaly::widgets::LedMeter*>()) {
      QVERIFY(!meter->isEnabled());
    }
    QVERIFY(!rig.window->poll_timer()->isActive());
    const auto marks = rig.pending().Keys();
    QCOMPARE(std::set<Key>(marks.begin(), marks.end()), pending);
    // The lost mute is dotted on its switches, which still show whether they are on; the Gains
    // page, which shows every gain and mute, counts them all.
    QVERIFY(rig.ShownDots() > 0);
    const auto* tabs = rig.window->findChild<QTabBar*>();
    QVERIFY(tabs->tabText(rig.window->PageIndex("gains"))
                .endsWith(QStringLiteral(" \u25CF%1").arg(pending.size())));

    // Closing asks, naming the device and the count; No keeps the editor.
    rig.messenger.answers = {device::MessageAnswer::kNo};
    QVERIFY(!rig.window->parentWidget()->close());
    QVERIFY(
        rig.messenger.shown.back().text.contains(QStringLiteral("%1 edits made in the editor of %2")
                                                     .arg(pending.size())
                                                     .arg(rig.window->DeviceText())));
    // So does quitting.
    rig.messenger.answers = {device::MessageAnswer::kNo};
    QCOMPARE(rig.editors->MayQuitWithPending(), std::optional<bool>(false));
    QVERIFY(
        rig.messenger.shown.back().text.contains(QStringLiteral(": %1 edits").arg(pending.size())));

    // The device comes back holding one change of its own.
    rig.dev().SetSilent(false);
    const int channel = tessaly::protocol::LayoutOfType(type).channel_count - 1;
    const int offset = rig.GainOffset(channel);
    const auto own_gain = static_cast<uint8_t>(rig.dev().Image()[offset] == 100 ? 101 : 100);
    if (cli) {
      QProcess send;
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert("TESSALY_DEVICE_PORT", QString::number(rig.sim.port()));
      send.setProcessEnvironment(env);
      send.start(TESSALY_CLI_PATH, {"--tcp", address, "send", "1", QString::number(channel), "0",
                                    "0", "0", "0", "0", "0", QString::number(own_gain)});
      QVERIFY(send.waitForFinished(30000));
      QCOMPARE(send.exitCode(), 0);
    } else {
      QByteArray image = rig.dev().Image();
      image[offset] = static_cast<char>(own_gain);
      QVERIFY(rig.dev().SetImage(image));
    }
    QCOMPARE(static_cast<uint8_t>(rig.dev().Image()[offset]), own_gain);

    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(rig.window->findChild<QPushButton*>("reconnectButton"), Qt::LeftButton);
    editor::CompareWindow* compare = rig.sync()->compare_window();
    QVERIFY(compare != nullptr && compare->isVisible());
    qInfo("Reconnect to compare window: %lld ms", static_cast<long long>(clock.elapsed()));
    QVERIFY(!rig.window->offline());
    QCOMPARE(rig.window->windowTitle(), caption);

    // Exactly the pending edits and the device's own change, the pending ones marked and first.
    std::set<Key> expected = pending;
    expected.insert({model::ParamId::kGain, channel, -1});
    const auto rows = compare->Choices();
    QCOMPARE(Keys(rows), expected);
    for (const auto& row : rows) {
      QCOMPARE(row.difference.pending, pending.contains(row.difference.Key()));
    }
    const QByteArray device_before = rig.dev().Image();

    if (choice == "applyChoicesButton") {
      // Keep the device's own change, send the rest.
      QTreeWidget* tree = compare->tree();
      for (int g = 0; g < tree->topLevelItemCount(); ++g) {
        QTreeWidgetItem* group = tree->topLevelItem(g);
        if (group->text(0) != tessaly::protocol::ChannelName(type, channel)) continue;
        for (int r = 0; r < group->childCount(); ++r) {
          if (group->child(r)->text(0) == "Gain") group->child(r)->setCheckState(3, Qt::Checked);
        }
      }
    }
    QTest::mouseClick(compare->findChild<QPushButton*>(choice), Qt::LeftButton);

    QTRY_VERIFY(rig.sync()->compare_window() == nullptr);
    QCOMPARE(rig.pending().Count(), 0);
    QCOMPARE(rig.ShownDots(), 0);
    QCOMPARE(rig.dev().Image(), rig.PcImage());
    // Taking sends nothing; sending overwrites the device's own change; per row keeps it.
    const auto gain_now = static_cast<uint8_t>(rig.dev().Image()[offset]);
    if (choice == "takeDeviceButton") {
      QCOMPARE(rig.dev().Image(), device_before);
      QCOMPARE(rig.edits().Undo(0).Count(), size_t{0});
    } else {
      QCOMPARE(gain_now == own_gain, choice == "applyChoicesButton");
    }
    QVERIFY(!rig.window->findChild<QWidget*>("offlineBar")->isVisible());
  }

  // Send all overwrites what the device changed on its own; off-line it only says why not.
  void SendAllPutsThePcProgramInTheDevice() {
    Rig rig;
    QVERIFY(rig.Open(device::kTypeRk540, QStringLiteral("127.0.0.154")));
    QByteArray changed = rig.dev().Image();
    changed[rig.GainOffset(1)] = static_cast<char>(changed[rig.GainOffset(1)] ^ 0x10);
    QVERIFY(rig.dev().SetImage(changed));
    auto* send_all = rig.window->findChild<QAction*>("sendAllAction");
    send_all->trigger();
    QCOMPARE(rig.dev().Image(), rig.PcImage());
    QVERIFY(rig.messenger.shown.isEmpty());

    rig.LoseWithEdits();
    QTRY_VERIFY(rig.window->offline());
    const int heard = rig.dev().ReceivedCount();
    send_all->trigger();
    QCOMPARE(rig.messenger.shown.back().title, QString::fromLatin1(editor::kSendAllTitle));
    QCOMPARE(rig.dev().ReceivedCount(), heard);
  }

  // Band and crossover controls dot the value the device did not confirm, and only that one.
  void BandAndCrossoverControlsDotTheirPendingValue() {
    Rig rig;
    QVERIFY(rig.Open(device::kTypeRk540, QStringLiteral("127.0.0.155")));
    rig.dev().SetSilent(true);
    const auto control = [&rig](int channel, const QString& name) -> QWidget* {
      for (int i = 0; i < rig.window->findChild<QTabBar*>()->count(); ++i) {
        if (rig.window->PageChannel(i) == channel) {
          return rig.window->Page(i)->findChild<QWidget*>(name);
        }
      }
      return nullptr;
    };
    const auto dotted = [](QWidget* w) {
      const auto* dot = w->findChild<editor::PendingDot*>();
      return dot != nullptr && !dot->isHidden();
    };
    const struct {
      model::ParamId id;
      int channel;
      int element;
      const char* name;
      const char* undotted;  // its neighbour
    } rows[] = {{model::ParamId::kEqFrequency, 0, 2, "eqFreqEdit2", "eqFreqEdit3"},
                {model::ParamId::kEqQ, 0, 4, "eqQEdit4", "eqFreqEdit4"},
                {model::ParamId::kEqType, 1, 5, "eqTypeButton5", "eqQEdit5"},
                {model::ParamId::kHpFrequency, 2, -1, "hpFreqEdit", "hpSlopeCombo"},
                {model::ParamId::kLpSlope, 3, -1, "lpSlopeCombo", "lpFreqEdit"}};
    for (const auto& row : rows) {
      const model::EditTarget target{0, row.id, row.channel, row.element};
      const int now = rig.edits().Index(target);
      (void)rig.edits().SetIndex(target, now > target.parameter().minimum ? now - 1 : now + 1);
      QWidget* edited = control(row.channel, QString::fromLatin1(row.name));
      QWidget* neighbour = control(row.channel, QString::fromLatin1(row.undotted));
      QVERIFY2(edited != nullptr && neighbour != nullptr, row.name);
      QVERIFY2(dotted(edited), row.name);
      QVERIFY2(!dotted(neighbour), row.undotted);
    }
  }

  // The device list counts the pending edits on the row; a double-click on the lost device whose
  // editor is open reconnects that editor without the connect question.
  void DeviceListReconnectsTheOpenEditor() {
    Rig rig;
    QVERIFY(rig.Open(device::kTypeRk540, QStringLiteral("127.0.0.153")));
    tessaly::connect::DeviceListWindow::Hooks hooks;
    hooks.reconnect_editor = [&rig](int slot) { rig.editors->ReconnectEditor(slot); };
    tessaly::connect::DeviceListWindow list(rig.runtime.context, hooks);
    connect(rig.editors.get(), &editor::EditorManager::pendingCountChanged, &list,
            &tessaly::connect::DeviceListWindow::ShowPendingCount);
    QTRY_VERIFY(!list.refreshing());
    const std::set<Key> pending = rig.LoseWithEdits();
    QTRY_VERIFY(rig.window->offline());
    QVERIFY(list.grid()->item(0, 0)->text().endsWith(
        QStringLiteral(" - Off-line - %1 pending").arg(pending.size())));

    rig.dev().SetSilent(false);
    const qsizetype shown = rig.messenger.shown.size();
    (void)list.OpenRow(0);
    QCOMPARE(rig.messenger.shown.size(), shown);  // neither the connect question nor "already open"
    QVERIFY(!rig.window->offline());
    QVERIFY(rig.sync()->compare_window() != nullptr);
    QTest::mouseClick(rig.sync()->compare_window()->findChild<QPushButton*>("sendPcButton"),
                      Qt::LeftButton);
    QTRY_VERIFY(list.grid()->item(0, 0)->text().endsWith(QStringLiteral(" - On-line")));
  }

  void ReconnectRefusals_data() {
    QTest::addColumn<bool>("other_type");
    QTest::newRow("still gone") << false;
    QTest::newRow("another type answers") << true;
  }

  // Nothing is compared or sent; the editor stays off-line with its pending edits.
  void ReconnectRefusals() {
    QFETCH(bool, other_type);
    Rig rig;
    const QString address = QStringLiteral("127.0.0.152");
    QVERIFY(rig.Open(device::kTypeRk540, address));
    const std::set<Key> pending = rig.LoseWithEdits();
    QTRY_VERIFY(rig.window->offline());
    int fresh = rig.device;
    if (other_type) {
      rig.sim.Stop(rig.device);
      fresh = rig.sim.AddTcpAt(address, {.type = device::kTypeRl4800});
      QVERIFY(fresh >= 0);
    }
    const qsizetype shown = rig.messenger.shown.size();
    QTest::mouseClick(rig.window->findChild<QPushButton*>("reconnectButton"), Qt::LeftButton);

    QCOMPARE(rig.messenger.shown.size(), shown + 1);
    const QString text = rig.messenger.shown.back().text;
    if (other_type) {
      QVERIFY(text.contains("RL-4800") && text.contains("RK-540"));
      for (const uint8_t c : rig.sim.device(fresh).ReceivedCommands()) {
        QVERIFY2(c == device::kCmdIdentify || c == device::kCmdReadSettings ||
                     c == device::ProbeCommand(device::kTypeRk540),
                 qPrintable(QString::number(c)));
      }
      QCOMPARE(rig.comm.state().table.device_type[0], int16_t{device::kTypeRk540});
    } else {
      QCOMPARE(text, QString::fromLatin1(tessaly::connect::kDisconnectedText));
    }
    QVERIFY(rig.window->offline());
    QVERIFY(rig.sync()->compare_window() == nullptr);
    const auto marks = rig.pending().Keys();
    QCOMPARE(std::set<Key>(marks.begin(), marks.end()), pending);
  }
};

QTEST_MAIN(StayInStepTest)
#include "StayInStepTest.moc"
