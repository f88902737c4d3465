#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/AppState.h"
#include "app/MainWindow.h"
#include "connect/ui/ConnectWorkflow.h"
#include "editor/EditorManager.h"
#include "editor/EditorWindow.h"
#include "editor/OfflinePreset.h"
#include "programs/ProgramFiles.h"
#include "protocol/ProgramData.h"
#include "settings/Settings.h"
#include "support/RecordingMessenger.h"

using tessaly::app::AppState;
using tessaly::app::MainWindow;
using tessaly::settings::Settings;
using tessaly::test::RecordingMessenger;

// The settings file in a temporary folder: what an unreadable one leaves behind, and what the
// windows remember from one run to the next.
class SettingsTest : public QObject {
  Q_OBJECT

 private:
  enum class Lay { kText, kFolder };

  // One run after another over one settings file, with a real preset file to open.
  struct Runs {
    QTemporaryDir dir;
    QString preset = dir.filePath(QStringLiteral("shows/venue.480"));
    RecordingMessenger messenger;
    std::unique_ptr<AppState> state;
    std::unique_ptr<MainWindow> window;

    Runs() {
      QDir().mkpath(dir.filePath(QStringLiteral("shows")));
      const tessaly::protocol::ProgramData program(tessaly::protocol::Family::kA);
      const QByteArray bytes(reinterpret_cast<const char*>(program.Record().data()), 1203);
      if (!tessaly::programs::WriteFileAtomically(preset, bytes).isEmpty()) qFatal("no preset");
      Start();
    }
    ~Runs() { Stop(); }
    void Start() {
      state = std::make_unique<AppState>(messenger);
      state->locations = tessaly::programs::FileLocations::InFolder(dir.path());
      state->settings.Open(tessaly::settings::SettingsPath(dir.path()));
      window = std::make_unique<MainWindow>(*state);
    }
    void Stop() {
      window.reset();
      state.reset();
    }
    tessaly::editor::EditorWindow* OpenOffline() {
      return tessaly::editor::OpenPresetOffline(window->editors(),
                                                window->connect_workflow().runtime(), preset);
    }
    QWidget* ViewAll(tessaly::editor::EditorWindow* editor) {
      editor->findChild<QAction*>(QStringLiteral("viewAllAction"))->trigger();
      return window->findChild<QWidget*>(QStringLiteral("responseGraphWindow"));
    }
    QList<QAction*> RecentItems() const {
      auto* menu = window->findChild<QMenu*>(QStringLiteral("recentFilesMenu"));
      emit menu->aboutToShow();
      return menu->findChildren<QAction*>(QStringLiteral("recentFileAction"));
    }
    // File → Open preset with `act` run on its dialog.
    void OpenPresetDialog(std::function<void(QFileDialog&)> act) {
      QTimer::singleShot(
          0, [act] { act(*qobject_cast<QFileDialog*>(QApplication::activeModalWidget())); });
      window->findChild<QAction*>(QStringLiteral("openPresetAction"))->trigger();
    }
  };

 private slots:
  void unreadableFileIsSetAsideAndSaid_data() {
    QTest::addColumn<int>("lay");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("broken");
    QTest::newRow("readable") << int(Lay::kText) << QByteArray("[files]\nkept=yes\n") << false;
    QTest::newRow("open section") << int(Lay::kText) << QByteArray("[files\nkept=yes\n") << true;
    QTest::newRow("binary") << int(Lay::kText) << QByteArray("\xff\xfe[\0f\0]\0", 8) << true;
    QTest::newRow("folder in its place") << int(Lay::kFolder) << QByteArray() << true;
  }
  void unreadableFileIsSetAsideAndSaid() {
    QFETCH(int, lay);
    QFETCH(QByteArray, content);
    QFETCH(bool, broken);
    QTemporaryDir dir;
    const QString path = tessaly::settings::SettingsPath(dir.path());
    if (Lay(lay) == Lay::kFolder) {
      QVERIFY(QDir().mkpath(path));
    } else {
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(content);
    }

    RecordingMessenger messenger;
    AppState state(messenger);
    state.settings.Open(path);
    QCOMPARE(state.settings.notice().isEmpty(), !broken);
    QCOMPARE(state.settings.Value(QStringLiteral("files/kept"), QStringLiteral("default")),
             QVariant(broken ? QStringLiteral("default") : QStringLiteral("yes")));
    const QString kept = path + QStringLiteral(".broken");
    QCOMPARE(QFileInfo::exists(kept), broken);
    if (broken && Lay(lay) == Lay::kText) {
      QFile file(kept);
      QVERIFY(file.open(QIODevice::ReadOnly));
      QCOMPARE(file.readAll(), content);
    }
    {
      MainWindow window(state);
      QCOMPARE(window.statusBar()->currentMessage(), state.settings.notice());
    }

    // The run goes on with a fresh file the next run reads without a word.
    state.settings.SetValue(QStringLiteral("files/kept"), QStringLiteral("again"));
    state.settings.Sync();
    Settings next;
    next.Open(path);
    QVERIFY(next.notice().isEmpty());
    QCOMPARE(next.Value(QStringLiteral("files/kept")), QVariant(QStringLiteral("again")));
  }

  void rememberedAcrossARestart() {
    using Editor = tessaly::editor::EditorWindow;
    struct Kind {
      const char* name;
      std::function<void(Runs&)> change;
      std::function<bool(Runs&)> kept;
    };
    const QList<Kind> kinds = {
        {"main window size", [](Runs& r) { r.window->resize(900, 600); },
         [](Runs& r) { return r.window->size() == QSize(900, 600); }},
        {"editor page per device type",
         [](Runs& r) {
           Editor* editor = r.OpenOffline();
           editor->ShowPage(editor->PageIndex(QStringLiteral("delays")));
         },
         [](Runs& r) {
           Editor* editor = r.OpenOffline();
           return editor->PageKey(editor->current_page()) == QStringLiteral("delays");
         }},
        {"preset folder",
         [](Runs& r) {
           r.OpenPresetDialog([&r](QFileDialog& d) {
             d.selectFile(r.preset);
             static_cast<QDialog&>(d).accept();
           });
         },
         [](Runs& r) {
           QString shown;
           r.OpenPresetDialog([&shown](QFileDialog& d) {
             shown = d.directory().absolutePath();
             d.reject();
           });
           return shown == QFileInfo(r.preset).absolutePath();
         }},
        {"graph window choices",
         [](Runs& r) {
           r.ViewAll(r.OpenOffline())
               ->findChild<QCheckBox*>(QStringLiteral("viewCheck0"))
               ->setChecked(false);
         },
         [](Runs& r) {
           const auto* check =
               r.ViewAll(r.OpenOffline())->findChild<QCheckBox*>(QStringLiteral("viewCheck0"));
           return !check->isChecked();
         }},
        {"recent file reopens", [](Runs& r) { r.OpenOffline(); },
         [](Runs& r) {
           const QList<QAction*> items = r.RecentItems();
           if (items.size() != 1) return false;
           items[0]->trigger();
           return r.window->mdi_area()->subWindowList().size() == 1 && r.messenger.shown.isEmpty();
         }},
    };
    for (const Kind& kind : kinds) {
      Runs runs;
      kind.change(runs);
      runs.Stop();
      runs.Start();
      QVERIFY2(kind.kept(runs), kind.name);
    }
  }

  void aRecentFileThatIsGoneIsSaidAndDropped() {
    Runs runs;
    QVERIFY(runs.OpenOffline() != nullptr);
    runs.Stop();
    QVERIFY(QFile::remove(runs.preset));
    runs.Start();
    const QList<QAction*> items = runs.RecentItems();
    QCOMPARE(items.size(), 1);
    items[0]->trigger();
    QCOMPARE(runs.messenger.shown.size(), 1);
    QVERIFY(runs.messenger.shown[0].text.contains(QStringLiteral("is no longer there")));
    QVERIFY(runs.RecentItems().isEmpty());
    QVERIFY(runs.window->mdi_area()->subWindowList().isEmpty());
  }

  void confirmedFoldersApplyToTheRun() {
    RecordingMessenger messenger;
    AppState state(messenger);
    MainWindow window(state);
    QTimer::singleShot(0, [] {
      QWidget* modal = QApplication::activeModalWidget();
      modal->findChild<QLineEdit*>(QStringLiteral("backupsEdit"))->setText(QStringLiteral("/k"));
      modal->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    });
    window.findChild<QAction*>(QStringLiteral("settingsAction"))->trigger();
    QCOMPARE(state.locations.backups, QStringLiteral("/k"));
    QCOMPARE(state.locations.documents, QString());
  }
};

QTEST_MAIN(SettingsTest)
#include "SettingsTest.moc"
