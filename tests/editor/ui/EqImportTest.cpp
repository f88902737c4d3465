#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "device/DeviceTypes.h"
#include "editor/EqFileActions.h"
#include "editor/EqImportDialog.h"
#include "editor/ui/EditorRig.h"
#include "protocol/CommonOperations.h"

namespace test = tessaly::test;
using tessaly::editor::EqImportDialog;

namespace {

constexpr int kSlot = test::EditorRig::kSlot;

struct ImportRig : test::EditorRig {
  ImportRig() : EditorRig(tessaly::device::kTypeRk540, QStringLiteral("127.0.0.172")) {}
};

}  // namespace

class EqImportTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { qputenv("TESSALY_TIME_SCALE", "0.05"); }

  // The preview lists what it refuses; Apply sends every band and is one undo step.
  void previewThenApply() {
    ImportRig rig;
    const auto before = rig.Record();
    const size_t depth = rig.path.Undo(kSlot).Count();
    std::unique_ptr<EqImportDialog> dialog(tessaly::editor::OpenImportPreview(
        rig.context, 0, QStringLiteral(TESSALY_EQ_DATA "/apo-config.txt"), nullptr));
    QVERIFY(dialog);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    test::Shoot(*dialog, QStringLiteral("eq-import-preview"));
    QCOMPARE(test::Find<QTableWidget>(*dialog, "importTable")->rowCount(), 12);
    auto* skipped = test::Find<QListWidget>(*dialog, "skippedList");
    QStringList lines;
    for (int i = 0; i < skipped->count(); ++i) lines << skipped->item(i)->text();
    QVERIFY2(lines.contains("Line 8: Filter 5: ON BP Fc 1000 Hz Q 2 (the device has no BP filter)"),
             qPrintable(lines.join('\n')));
    QVERIFY(rig.sent.isEmpty());  // nothing goes out before Apply

    QTest::mouseClick(test::Find<QPushButton>(*dialog, "applyButton"), Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QVERIFY(!rig.sent.isEmpty());
    QCOMPARE(rig.path.Undo(kSlot).Count(), depth + 1);
    const auto band = tessaly::protocol::ReadEqBand(rig.data(), 0, 4);
    QCOMPARE(int(band->type), 4);
    QCOMPARE(int(band->frequency), 20000);
    QCOMPARE(QString::fromStdString(rig.DeviceDifference()), QString());

    QCOMPARE(rig.path.Undo(kSlot).UndoLast().status, tessaly::model::EditStatus::kDone);
    QVERIFY(rig.Record() == before);
    QCOMPARE(QString::fromStdString(rig.DeviceDifference()), QString());
  }

  // A file that is no filter list is named with its line, and nothing opens.
  void unreadableFileOpensNothing() {
    ImportRig rig;
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Filter 1: ON PK Fc 100 Hz Gain x dB Q 1\n");
    file.close();
    QVERIFY(tessaly::editor::OpenImportPreview(rig.context, 0, path, nullptr) == nullptr);
    QCOMPARE(rig.messenger_.shown.size(), 1);
    QVERIFY(rig.messenger_.shown[0].text.contains("Line 1: \"x\" is not a finite number."));
    QVERIFY(rig.sent.isEmpty());
  }
};

QTEST_MAIN(EqImportTest)
#include "EqImportTest.moc"
