#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "widgets/FileDialog.h"
#include "widgets/FileNames.h"

using namespace tessaly::widgets;

namespace {

// Runs `act` on each modal window that shows, one after another, until it returns false.
void WhileModal(const std::function<bool(QWidget*)>& act) {
  auto* timer = new QTimer;
  timer->setInterval(20);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) return;
    if (!act(modal)) timer->deleteLater();
  });
  timer->start();
}

}  // namespace

class FileDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void theFiltersExtensionIsAddedWhenTheNameHasNone() {
    const QString preset = QStringLiteral("file preset (*.540)");
    const QString project = QStringLiteral("file project (*.Pj5 *.pj5)");
    const QString rows[][3] = {
        {"/d/show", preset, "/d/show.540"},        {"/d/show.540", preset, "/d/show.540"},
        {"/d/SHOW.540", preset, "/d/SHOW.540"},    {"/d/show.v2", preset, "/d/show.v2.540"},
        {"/d/.540", preset, "/d/.540.540"},        {"/d/venue", project, "/d/venue.pj5"},
        {"/d/venue.PJ5", project, "/d/venue.PJ5"}, {"/d/curve", "All files (*)", "/d/curve"},
    };
    for (const auto& [path, filter, expected] : rows) {
      QCOMPARE(WithFilterExtension(path, filter), expected);
    }
  }

  // Typed without its extension onto an existing file: the question comes in our words, No goes
  // back to the dialog, and a new name is taken with its extension.
  void saveAsksBeforeReplacingOnceTheExtensionIsOn() {
    QTemporaryDir dir;
    QFile existing(dir.filePath(QStringLiteral("show.540")));
    QVERIFY(existing.open(QIODevice::WriteOnly) && existing.write("kept") == 4);
    existing.close();
    QStringList asked;
    QStringList names = {QStringLiteral("show"), QStringLiteral("fresh")};
    WhileModal([&](QWidget* modal) {
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        asked << box->text();
        QTest::keyClick(box, Qt::Key_Return);  // No is the default
        return true;
      }
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      if (dialog == nullptr || names.isEmpty()) return false;
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      name->setText(names.takeFirst());
      QTest::keyClick(name, Qt::Key_Return);
      return !names.isEmpty();
    });
    const QString chosen = AskForFile(nullptr, true, QStringLiteral("Save"), dir.path(),
                                      QStringLiteral("file preset (*.540)"));
    QCOMPARE(chosen, dir.filePath(QStringLiteral("fresh.540")));
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked[0].startsWith(QStringLiteral("There is already a file named \"show.540\" in ")),
             qPrintable(asked.value(0)));
    QVERIFY(existing.open(QIODevice::ReadOnly));
    QCOMPARE(existing.readAll(), QByteArray("kept"));
  }
};

QTEST_MAIN(FileDialogTest)
#include "FileDialogTest.moc"
