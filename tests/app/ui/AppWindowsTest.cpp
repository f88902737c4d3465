#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "app/AboutDialog.h"
#include "app/AppState.h"
#include "app/MainWindow.h"
#include "app/QtMessenger.h"
#include "app/SetClientSize.h"
#include "app/SplashScreen.h"
#include "editor/EditorManager.h"
#include "support/RecordingMessenger.h"

using namespace tessaly::app;
using tessaly::device::Message;
using tessaly::device::MessageAnswer;
using tessaly::device::MessageButtons;
using tessaly::device::MessageIcon;
using tessaly::test::RecordingMessenger;

// The windows without devices: splash, main window (menus, timers, the exit question and the
// Connect path while off-line), About, message boxes and client-area sizing.
class AppWindowsTest : public QObject {
  Q_OBJECT

 private:
  struct Fixture {
    RecordingMessenger messenger;
    AppState state{messenger};
    std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>(state);

    Fixture() {
      window->show();
      if (!window->Load()) qFatal("the main window did not load");
    }
    QTimer* Timer(const char* name) const { return window->findChild<QTimer*>(name); }
    template <typename T = QAction>
    T* Child(const QString& name) const {
      return window->findChild<T*>(name);
    }
  };

  // Runs `act` on the next modal window as soon as it shows.
  static void OnNextModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
      if (QWidget* modal = QApplication::activeModalWidget()) act(modal);
    });
  }

  SplashEnvironment Environment(ScreenFacts screen = {1280, 1024, 96.0},
                                QLocale locale = QLocale(QLocale::English, QLocale::UnitedStates)) {
    return {screen, locale, dir_.filePath(QStringLiteral("tessaly.lock"))};
  }

  QTemporaryDir dir_;

 private slots:
  void noKeepAliveBeforeADeviceList() {
    Fixture f;
    QVERIFY(f.messenger.shown.isEmpty());
    QVERIFY2(!f.state.comm().keep_alive().IsRunning(), "no keep-alive before a device list exists");
  }

  void connectMenuFollowsOpenedAndClosedEditorsAndCancellingPortSelectionOffersIt() {
    Fixture f;
    QAction* menu = f.Child<QMenu>(QStringLiteral("connectMenu"))->menuAction();
    QVERIFY(menu->isEnabled());
    tessaly::editor::EditorManager& editors = f.window->editors();
    f.state.editor_count = 0;  // the first editor opened
    emit editors.editorOpened(0);
    QVERIFY(!menu->isEnabled());
    f.state.editor_count = 1;
    emit editors.editorOpened(1);
    emit editors.editorClosed(1);
    f.state.editor_count = 0;
    QVERIFY(!menu->isEnabled());
    f.state.editor_count = -1;  // the last editor closed
    emit editors.editorClosed(0);
    QVERIFY(menu->isEnabled());

    menu->setEnabled(false);
    OnNextModal([](QWidget* modal) {
      modal->findChild<QAbstractButton*>(QStringLiteral("exitButton"))->click();
    });
    f.Child(QStringLiteral("connectAction"))->trigger();
    // Off-line there is nothing to leave, so nothing to ask.
    QVERIFY(f.messenger.shown.isEmpty());
    QVERIFY(menu->isEnabled());
    QVERIFY(f.window->mdi_area()->subWindowList().isEmpty());
  }

  // F1 opens the guide: the README's part for users, not the one for those who build Tessaly;
  // pressed again it brings the same window forward.
  void userGuideShowsTheUsersPartOnce() {
    Fixture f;
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QTest::keySequence(f.window.get(), QKeySequence::HelpContents);
    auto* guide = f.window->findChild<QDialog*>(QStringLiteral("userGuideWindow"));
    QVERIFY(guide != nullptr && guide->isVisible());
    const QString text = guide->findChild<QTextBrowser*>()->toPlainText();
    for (const char* heading : {"The editor", "Live meters", "Command line", "Where files go"}) {
      QVERIFY2(text.contains(QLatin1String(heading)), heading);
    }
    QVERIFY(!text.contains(QStringLiteral("fault matrix")));
    f.Child(QStringLiteral("userGuideAction"))->trigger();
    QCOMPARE(f.window->findChildren<QDialog*>(QStringLiteral("userGuideWindow")).size(), 1);
  }

  // Which line shows what is VersionLinesFor's business; the window only shows its lines.
  void aboutShowsTheVersionLinesAndClosesByEnterOrEscape() {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
      Fixture f;
      f.state.software_version = QStringLiteral("1.3.4");
      auto& cs = f.state.comm_state();
      cs.current_device = 4;
      cs.table.device_type[4] = 1;
      cs.table[4].online = true;
      cs.table.firmware_version[4] = QStringLiteral("3.2.1");
      f.state.locations = {QStringLiteral("/cfg"), QStringLiteral("/docs"),
                           QStringLiteral("/keep")};
      QStringList seen;
      OnNextModal([&seen, key](QWidget* about) {
        for (const char* name : {"versionLabel", "firmwareLabel", "secondVersionLabel",
                                 "configPathLabel", "documentsPathLabel", "backupsPathLabel"}) {
          auto* label = about->findChild<QLabel*>(name);
          seen << label->text() + (label->isVisible() ? "" : " hidden");
        }
        QTest::keyClick(about, key);
      });
      f.Child(QStringLiteral("aboutAction"))->trigger();
      QCOMPARE(seen, (QStringList{"1.3.4", "3.2.1", " hidden", "/cfg/init.cfg", "/docs", "/keep"}));
      QVERIFY(QApplication::activeModalWidget() == nullptr);
    }
  }

  void messageBoxesShowExactlyWhatTheyAreGiven() {
    const int yes_no = QMessageBox::Yes | QMessageBox::No;
    const int ok_cancel = QMessageBox::Ok | QMessageBox::Cancel;
    using A = MessageAnswer;
    using B = MessageButtons;
    using Box = QMessageBox;
    using I = MessageIcon;
    // Icon, buttons, the button pressed (none: Escape), the box's icon and buttons, the answer.
    const std::tuple<I, B, int, int, int, A> cases[] = {
        {I::kCritical, B::kOk, Box::Ok, Box::Critical, Box::Ok, A::kOk},
        {I::kInformation, B::kOk, Box::Ok, Box::Information, Box::Ok, A::kOk},
        {I::kNone, B::kYesNo, Box::Yes, Box::NoIcon, yes_no, A::kYes},
        {I::kNone, B::kYesNo, Box::No, Box::NoIcon, yes_no, A::kNo},
        {I::kQuestion, B::kYesNo, Box::NoButton, Box::Question, yes_no, A::kNo},
        {I::kExclamation, B::kOkCancel, Box::Cancel, Box::Warning, ok_cancel, A::kCancel},
        {I::kExclamation, B::kOkCancel, Box::NoButton, Box::Warning, ok_cancel, A::kCancel},
    };
    QWidget parent;
    parent.show();
    QtMessenger messenger(&parent);
    // Blanks and line breaks are part of the texts.
    const QString text = QStringLiteral("               Are you sure ? \n<b>second</b> line");
    for (const auto& [icon, buttons, press, qt_icon, qt_buttons, answer] : cases) {
      QStringList seen;
      OnNextModal([&seen, press](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        seen << QString::number(box->icon()) << box->windowTitle() << box->text()
             << QString::number(int(box->standardButtons()));
        if (press == QMessageBox::NoButton) {
          QTest::keyClick(box, Qt::Key_Escape);
        } else {
          box->button(QMessageBox::StandardButton(press))->click();
        }
      });
      QCOMPARE(messenger.Show({icon, QStringLiteral("Exit"), text, buttons}), answer);
      QCOMPARE(seen,
               (QStringList{QString::number(qt_icon), "Exit", text, QString::number(qt_buttons)}));
    }
    // A question under a warning sign takes No on Enter, any other Yes.
    for (const auto& [icon, answer] :
         {std::pair(I::kExclamation, A::kNo), std::pair(I::kNone, A::kYes)}) {
      OnNextModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Return); });
      QCOMPARE(messenger.Show({icon, QStringLiteral("Backup"), text, B::kYesNo}), answer);
    }
  }

  void clientAreaGetsTheSizeWithoutMovingOrRaisingTheWindow() {
    for (const QSize wanted : {QSize(700, 520), QSize(180, 140), QSize(1003, 640)}) {
      QMdiArea area;
      area.resize(1200, 900);
      area.show();
      QVERIFY(QTest::qWaitForWindowExposed(&area));
      auto* editor = new QWidget;
      editor->setMinimumSize(10, 10);
      QMdiSubWindow* frame = area.addSubWindow(editor);
      frame->setGeometry(40, 30, 400, 300);
      frame->show();
      QMdiSubWindow* other_frame = area.addSubWindow(new QWidget);
      other_frame->show();
      area.setActiveSubWindow(other_frame);
      const QPoint position = frame->pos();
      const QSize border = frame->size() - editor->size();
      QVERIFY(SetClientSize(editor, wanted.width(), wanted.height()));
      QCOMPARE(editor->size(), wanted);
      QCOMPARE(frame->size(), wanted + border);
      QCOMPARE(frame->pos(), position);
      QCOMPARE(area.activeSubWindow(), other_frame);
      QCOMPARE(area.subWindowList(QMdiArea::StackingOrder).last(), other_frame);
    }
    QWidget window;
    window.setGeometry(100, 100, 300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint position = window.pos();
    QVERIFY(SetClientSize(&window, 640, 480));
    QCOMPARE(window.size(), QSize(640, 480));
    QCOMPARE(window.pos(), position);
    QVERIFY(!SetClientSize(nullptr, 100, 100));
    QVERIFY(!SetClientSize(&window, 0, 100));
    QCOMPARE(window.size(), QSize(640, 480));
  }

  // Closing a main window ends the application loop for good, so these two come last.
  void splashChecksTheScreenAndHandsOverToTheMainWindow() {
    RecordingMessenger messenger;
    AppState state(messenger);
    state.editor_count = 5;
    state.decimal_comma = false;
    SplashScreen splash(state, Environment({640, 480, 72.0}, QLocale(QLocale::German)));
    QSignalSpy opened(&splash, &SplashScreen::mainWindowOpened);
    // Too small a screen is only a warning: start-up goes on.
    QVERIFY(splash.Load());
    QCOMPARE(state.screen_dpi, 72);
    QCOMPARE(state.dpi_scale, 0.75);
    QVERIFY(state.decimal_comma);
    QCOMPARE(state.software_version, QStringLiteral("1.3.4"));
    QCOMPARE(state.demo_firmware_version, QStringLiteral("1.1.5-B"));
    QCOMPARE(state.demo_second_version, QStringLiteral("1.0.4"));
    QCOMPARE(state.program_folder, QDir::currentPath());
    QCOMPARE(messenger.shown.size(), 2);
    QCOMPARE(messenger.shown[0].title, QStringLiteral("Tessaly"));
    QCOMPARE(messenger.shown[0].icon, MessageIcon::kInformation);
    QCOMPARE(messenger.shown[0].text,
             QStringLiteral("The size of the edit window exceed the size of the monitor\n"
                            "please try to set the monitor resolution to 96dpi (small icon)"));
    QCOMPARE(messenger.shown[1].title, QStringLiteral("Warning"));
    QCOMPARE(messenger.shown[1].text, QStringLiteral("Minimum display resolution is 800x600"));
    QCOMPARE(messenger.shown[1].buttons, MessageButtons::kOk);

    // A second instance is refused and goes no further; the first one keeps running.
    RecordingMessenger second_messenger;
    AppState second_state(second_messenger);
    SplashScreen second(second_state, Environment());
    QVERIFY(!second.Load());
    QCOMPARE(second_messenger.shown.size(), 1);
    QCOMPARE(second_messenger.shown[0].icon, MessageIcon::kCritical);
    QCOMPARE(second_messenger.shown[0].title, QStringLiteral("Tessaly"));
    QCOMPARE(second_messenger.shown[0].text,
             QStringLiteral("The Sw PC is already Running, Can't be run again!"));
    QVERIFY(!second.findChild<QTimer*>(QStringLiteral("splashTimer"))->isActive());
    QVERIFY(splash.instance_lock().IsHeld());

    splash.show();
    auto* timer1 = splash.findChild<QTimer*>(QStringLiteral("splashTimer"));
    QVERIFY(timer1->isActive() && timer1->isSingleShot());
    QCOMPARE(timer1->interval(), 2000);
    QVERIFY(opened.wait(4000));
    MainWindow* main = splash.main_window();
    QVERIFY(main != nullptr);
    QVERIFY(main->isVisible() && !splash.isVisible());
    // The main window's own load ran: no editor counted, the Connect menu offered.
    QCOMPARE(state.editor_count, int16_t{-1});
    QVERIFY(main->findChild<QMenu*>(QStringLiteral("connectMenu"))->menuAction()->isEnabled());
    messenger.answers.push_back(MessageAnswer::kYes);
    main->close();
  }

  void exitIsAskedAndNoKeepsTheWindow() {
    Fixture f;
    f.messenger.answers.push_back(MessageAnswer::kNo);
    QVERIFY(!f.window->close());
    QVERIFY(f.window->isVisible());
    QCOMPARE(f.messenger.shown.size(), 1);
    QCOMPARE(f.messenger.shown[0].title, QStringLiteral("Exit"));
    QCOMPARE(f.messenger.shown[0].text, QStringLiteral("               Are you sure ? "));
    QCOMPARE(f.messenger.shown[0].buttons, MessageButtons::kYesNo);
    f.messenger.answers.push_back(MessageAnswer::kYes);
    QVERIFY(f.window->close());
    QVERIFY(!f.state.comm().keep_alive().IsRunning());
  }
};

QTEST_MAIN(AppWindowsTest)
#include "AppWindowsTest.moc"
