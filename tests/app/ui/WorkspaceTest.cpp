#include <QAbstractButton>
#include <QAction>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTreeView>
#include <QtTest>
#include <memory>

#include "app/AppState.h"
#include "app/MainWindow.h"
#include "comm/Comm.h"
#include "connect/ConnectRuntime.h"
#include "connect/InitConfig.h"
#include "connect/ui/DeviceListWindow.h"
#include "connect/ui/PortSelectionDialog.h"
#include "device/DeviceTypes.h"
#include "editor/EditorManager.h"
#include "editor/EditorWindow.h"
#include "graph/ui/ResponseGraphWindow.h"
#include "model/EditPath.h"
#include "support/RecordingMessenger.h"
#include "support/SimHarness.h"
#include "widgets/FileDialog.h"
#include "widgets/Knob.h"
#include "widgets/ValueEdit.h"

using tessaly::app::MainWindow;
using tessaly::editor::EditorWindow;
using tessaly::widgets::ValueEdit;

// The main window with an RK-540 and a 540S open, as a user works with it: keys reach the edits
// from wherever the focus is, and every window lays out in the sizes it is used at.
class WorkspaceTest : public QObject {
  Q_OBJECT

 private:
  struct Fixture {
    tessaly::test::SimHarness sim;
    tessaly::test::RecordingMessenger messenger;
    QTemporaryDir folder;
    tessaly::app::AppState state{messenger};
    std::unique_ptr<MainWindow> window;

    bool Start(QSize size) {
      const int a = sim.AddTcp({.type = tessaly::device::kTypeRk540, .name = "Front Fill"});
      const int b = sim.AddTcp({.type = tessaly::device::kType540S, .name = "Main PA"});
      tessaly::connect::InitConfig config;
      config.connection_mode = tessaly::comm::kLinkTcp;
      const auto octet = [this](int index) {
        return static_cast<int16_t>(sim.address(index).section('.', 3).toInt());
      };
      config.single = {127, 0, 0, octet(a)};
      config.range_start = {127, 0, 0, octet(a)};
      config.range_end = {127, 0, 0, octet(b)};
      QFile cfg(tessaly::connect::InitConfigPath(folder.path()));
      if (!cfg.open(QIODevice::WriteOnly) || cfg.write(config.Encode()) != 28) return false;
      cfg.close();
      state.program_folder = folder.path();
      state.locations = tessaly::programs::FileLocations::InFolder(folder.path());
      state.comm().set_device_port(sim.port());
      window = std::make_unique<MainWindow>(state);
      if (!window->Load()) return false;
      window->resize(size);
      window->show();
      if (!QTest::qWaitForWindowActive(window.get())) return false;
      window->ConnectAndOpenFirst();
      if (!QTest::qWaitFor([this] { return Editor(0) != nullptr; }, 15000)) return false;
      auto* list = window->mdi_area()->findChild<tessaly::connect::DeviceListWindow*>();
      if (list == nullptr) return false;
      list->OpenRow(1);
      return QTest::qWaitFor([this] { return Editor(1) != nullptr; }, 15000);
    }
    ~Fixture() {
      if (window != nullptr && window->isVisible()) {
        messenger.answers.push_front(tessaly::device::MessageAnswer::kYes);
        window->close();
      }
    }
    EditorWindow* Editor(int slot) const { return window->editors().EditorOf(slot); }
    QMdiSubWindow* Frame(int slot) const {
      return qobject_cast<QMdiSubWindow*>(Editor(slot)->parentWidget());
    }
    int Gain(int slot, int channel) {
      return Editor(slot)->context().edits.Index(
          {slot, tessaly::model::ParamId::kGain, channel, -1});
    }
  };

  static void Press(QWidget* focus, int key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(focus, static_cast<Qt::Key>(key), modifiers);
  }

 private slots:
  // Ctrl+Z and Ctrl+Shift+Z take back and repeat the device's last edit wherever the focus is in
  // the editor; a value box with unentered text undoes its own typing first.
  void undoByKeysFromAnyFocus_data() {
    QTest::addColumn<QString>("focus");
    QTest::newRow("the value box just entered") << "box";
    QTest::newRow("a knob") << "knob";
    QTest::newRow("the page tabs") << "tabs";
    QTest::newRow("a delay spin box") << "spin";
  }

  void undoByKeysFromAnyFocus() {
    QFETCH(QString, focus);
    Fixture f;
    QVERIFY(f.Start({1280, 760}));
    // The second editor's opening settles before the user turns to the first one.
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QTRY_VERIFY(QApplication::focusWidget() != nullptr);
    f.window->mdi_area()->setActiveSubWindow(f.Frame(0));
    EditorWindow* editor = f.Editor(0);
    QWidget* strip = editor->findChild<QWidget*>("stripInR");
    auto* box = strip->findChild<ValueEdit*>("gainEdit");
    const int before = f.Gain(0, 1);
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, "-6");
    Press(box, Qt::Key_Return);
    const int edited = f.Gain(0, 1);
    QVERIFY(edited != before);
    QWidget* target = box;
    if (focus == "knob") target = strip->findChild<tessaly::widgets::Knob*>("gainKnob");
    if (focus == "tabs") target = editor->findChild<QTabBar*>("pageTabs");
    if (focus == "spin") {
      editor->ShowPage(editor->PageIndex("channel-inr"));
      target = editor->Page(editor->current_page())->findChild<QSpinBox*>();
    }
    target->setFocus();
    Press(target, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.Gain(0, 1), before);
    QCOMPARE(box->text(), QStringLiteral("0"));
    Press(target, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(f.Gain(0, 1), edited);
    // Text typed but not entered belongs to the box: its undo takes the typing back.
    box->setFocus();
    QTest::keyClicks(box, "5");
    Press(box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.Gain(0, 1), edited);
    QCOMPARE(box->text(), QStringLiteral("-6"));
  }

  // At the default size and on a large screen an editor shown maximised needs no scroll bar on
  // any page, and an output page's EQ graph takes the page's width.
  void pagesFitTheWindow_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("1280x760") << QSize(1280, 760);
    QTest::newRow("1920x1080") << QSize(1920, 1080);
  }

  void pagesFitTheWindow() {
    QFETCH(QSize, size);
    Fixture f;
    QVERIFY(f.Start(size));
    for (int slot : {0, 1}) {
      f.Frame(slot)->showMaximized();
      EditorWindow* editor = f.Editor(slot);
      for (int page = 0; page < editor->page_count(); ++page) {
        editor->ShowPage(page);
        QCoreApplication::processEvents();
        auto* scroller =
            qobject_cast<QScrollArea*>(editor->Page(page)->parentWidget()->parentWidget());
        QVERIFY(scroller != nullptr);
        const QString where = editor->PageKey(page);
        QVERIFY2(!scroller->horizontalScrollBar()->isVisible(), qPrintable(where));
        QVERIFY2(!scroller->verticalScrollBar()->isVisible(), qPrintable(where));
        if (editor->PageChannel(page) < 0) continue;
        auto* graph = editor->Page(page)->findChild<QWidget*>("eqGraphPanel");
        QVERIFY2(graph->width() * 2 > editor->Page(page)->width(), qPrintable(where));
      }
    }
  }

  // Lock and password are shown apart from the tools, as words with an icon that cannot be
  // pressed: red and named what is on, grey when off, with a tooltip saying what they mean.
  void lockAndPasswordAreIndicators() {
    Fixture f;
    QVERIFY(f.Start({1280, 760}));
    EditorWindow* editor = f.Editor(0);
    tessaly::protocol::SlotState* state = editor->context().edits.store().State(0);
    state->lock = 1;
    state->password = 0;
    editor->ShowLockState();
    auto* lock = editor->findChild<QLabel*>("lockIndicator");
    auto* password = editor->findChild<QLabel*>("passwordIndicator");
    QCOMPARE(lock->text(), QStringLiteral("Locked"));
    QCOMPARE(password->text(), QStringLiteral("Password"));
    QCOMPARE(lock->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(password->palette().color(QPalette::WindowText), QColor(192, 192, 192));
    QVERIFY(lock->toolTip().contains("locked") && password->toolTip().contains("no password"));
    for (QLabel* flag : {lock, password}) {
      QVERIFY(!editor->toolBar()->isAncestorOf(flag));
      QVERIFY(qobject_cast<QAbstractButton*>(flag->parentWidget()) == nullptr);
      QVERIFY(!flag->font().bold());
    }
  }

  // The graph window says whose curves it shows (the 540S's model caption reads "RK-540").
  void graphWindowNamesItsDevice() {
    Fixture f;
    QVERIFY(f.Start({1280, 760}));
    for (int slot : {0, 1}) {
      f.Editor(slot)->findChild<QAction*>("viewAllAction")->trigger();
      QCoreApplication::processEvents();
    }
    const auto graphs = f.window->findChildren<tessaly::graph::ResponseGraphWindow*>();
    QCOMPARE(graphs.size(), 2);
    QStringList titles;
    for (const auto* graph : graphs) titles << graph->windowTitle();
    titles.sort();
    QCOMPARE(titles, QStringList({"View All - Front Fill (IP:" + f.sim.address(0) + " RK-540)",
                                  "View All - Main PA (IP:" + f.sim.address(1) + " RK-540)"}));
  }

  // Select Port takes the size of what it shows, both ways.
  void selectPortShrinksBack() {
    tessaly::test::RecordingMessenger messenger;
    tessaly::comm::Comm comm(messenger);
    QTemporaryDir folder;
    tessaly::connect::ConnectRuntime runtime(comm, folder.path());
    tessaly::connect::PortSelectionDialog dialog(runtime.context);
    QVERIFY(dialog.Load());
    dialog.show();
    const auto pick = [&dialog](int transport) {
      dialog.findChild<QRadioButton*>(QStringLiteral("transportOption_%1").arg(transport))->click();
      QCoreApplication::processEvents();
      return dialog.size();
    };
    const QSize tcp = pick(1);
    const QSize usb = pick(0);
    QVERIFY(usb != tcp);
    QCOMPARE(pick(1), tcp);
    QCOMPARE(pick(0), usb);
  }

  // The file dialog's columns show a long preset name, its size, type and date whole.
  void fileDialogColumnsFit() {
    QTemporaryDir folder;
    QFile preset(folder.filePath("Main PA venue, Saturday.54s"));
    QVERIFY(preset.open(QIODevice::WriteOnly));
    preset.write(QByteArray(22800, '\0'));
    preset.close();
    QFileDialog dialog(nullptr, "Load", folder.path(), "540S (*.54s)");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    tessaly::widgets::FitFileDialog(dialog);
    dialog.show();
    auto* details = dialog.findChild<QTreeView*>("treeView");
    QVERIFY(details != nullptr);
    QTRY_VERIFY(details->model()->rowCount(details->rootIndex()) == 1);
    const QModelIndex row = details->model()->index(0, 0, details->rootIndex());
    // The name column also holds the file's icon.
    for (int column = 0; column < 4; ++column) {
      const QString text = row.siblingAtColumn(column).data().toString();
      QVERIFY2(!text.isEmpty(), qPrintable(QString::number(column)));
      const int room = details->fontMetrics().horizontalAdvance(text) + (column == 0 ? 32 : 8);
      QVERIFY2(details->header()->sectionSize(column) > room, qPrintable(text));
    }
  }
};

QTEST_MAIN(WorkspaceTest)
#include "WorkspaceTest.moc"
