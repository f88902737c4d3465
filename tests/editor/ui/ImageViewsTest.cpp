#include <QAbstractButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "device/DeviceTypes.h"
#include "editor/EditorSupport.h"
#include "editor/EditorWindow.h"
#include "editor/ProgramActions.h"
#include "editor/ui/EditorWindowRigs.h"
#include "model/ValueTargets.h"
#include "programs/ProgramFiles.h"
#include "protocol/ValueLists.h"
#include "widgets/ValueEdit.h"

using namespace tessaly;
using model::ParamId;

namespace {

constexpr int kSlot = 0;
constexpr int kInL = 0;
constexpr int kInR = 1;

// An RK-540 on 127.0.0.160, read out as the device list leaves it, with its editor open on the
// Input L page.
struct Rig : test::OneEditorRig {
  bool Open() {
    if (!OneEditorRig::Open(device::kTypeRk540, QStringLiteral("127.0.0.160"))) return false;
    window->ShowPage(window->PageIndex(QStringLiteral("channel-inl")));
    return window->PageChannel(window->current_page()) == kInL;
  }

  model::EditPath& edits() { return editors->core().edits; }
  programs::ProgramTools& tools() { return window->findChild<editor::ProgramActions*>()->tools(); }
  model::EditOutcome Set(ParamId id, int channel, int element, int index) {
    return edits().SetIndex({kSlot, id, channel, element}, index);
  }
  // The record as it would be with band 5 of Input R at `hz`; the PC's stays as it is.
  QByteArray RecordWithMovedBand(int hz) {
    const model::EditTarget band{kSlot, ParamId::kEqFrequency, kInR, 4};
    const int before = edits().Index(band);
    edits().SetIndex(band, hz);
    const auto record = runtime.store.Data(kSlot)->Record();
    const QByteArray moved(reinterpret_cast<const char*>(record.data()),
                           static_cast<qsizetype>(record.size()));
    edits().SetIndex(band, before);
    return moved;
  }

  // Every value control of every channel page and of the gains page against the image: one
  // line per control that shows something else. `compared` counts the controls looked at.
  QStringList Mismatches(int* compared) {
    QStringList wrong;
    const editor::EditorContext& context = window->context();
    const auto check = [&](QWidget* root, const QString& name, const model::EditTarget& t) {
      QWidget* w = root->findChild<QWidget*>(name);
      if (w == nullptr) return;
      ++*compared;
      const int index = edits().Index(t);
      QString shown;
      QString held;
      if (auto* edit = qobject_cast<widgets::ValueEdit*>(w)) {
        shown = edit->text();
        held = editor::BoxText(context, t);
      } else if (auto* button = qobject_cast<QAbstractButton*>(w);
                 button && button->isCheckable()) {
        shown = QString::number(button->isChecked() ? 1 : 0);
        held = QString::number(index != 0 ? 1 : 0);
      } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        shown = button->text();
        held = protocol::EqTypeName(index);
      }
      if (shown != held) {
        wrong << QStringLiteral("%1/%2: shows %3, image %4")
                     .arg(root->objectName(), name, shown, held);
      }
    };
    const auto band_widget = [](ParamId id) -> const char* {
      switch (id) {
        case ParamId::kEqType:
          return "eqTypeButton";
        case ParamId::kEqFrequency:
          return "eqFreqEdit";
        case ParamId::kEqGain:
          return "eqGainEdit";
        case ParamId::kEqQ:
          return "eqQEdit";
        case ParamId::kEqBandBypass:
          return "eqBypass";
        default:
          return nullptr;
      }
    };
    QWidget* gains = window->Page(window->PageIndex(QStringLiteral("gains")));
    for (int i = 0; i < window->page_count(); ++i) {
      const int ch = window->PageChannel(i);
      if (ch < 0) continue;
      QWidget* page = window->Page(i);
      QWidget* strip = gains->findChild<QWidget*>(QStringLiteral("strip") +
                                                  protocol::ChannelName(device::kTypeRk540, ch));
      for (const model::EditTarget& t : model::ValueTargets(kSlot, device::kTypeRk540)) {
        if (t.channel != ch) continue;
        if (t.element >= 0) {
          if (const char* stem = band_widget(t.id)) {
            check(page, QLatin1String(stem) + QString::number(t.element), t);
          }
          continue;
        }
        const QString stem = editor::ObjectStem(t.parameter().name);
        for (const QString& suffix : {QStringLiteral("Edit"), QStringLiteral("Check")}) {
          check(page, stem + suffix, t);
        }
        if (t.id == ParamId::kGain) check(strip, QStringLiteral("gainEdit"), t);
        if (t.id == ParamId::kMute) check(strip, QStringLiteral("muteButton"), t);
      }
    }
    return wrong;
  }
};

}  // namespace

class ImageViewsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { qputenv("TESSALY_TIME_SCALE", "0.05"); }

  // Whatever changes the image, every page shows it at once, the shown page or not.
  void pagesFollowTheImage_data() {
    QTest::addColumn<int>("source");
    QTest::newRow("edit") << 0;
    QTest::newRow("link follower") << 1;
    QTest::newRow("copy") << 2;
    QTest::newRow("recall") << 3;
    QTest::newRow("preset load") << 4;
    QTest::newRow("undo") << 5;
  }
  void pagesFollowTheImage() {
    QFETCH(int, source);
    Rig rig;
    QVERIFY(rig.Open());
    const auto band_hz = [&rig](int ch, int band) {
      return rig.edits().Index({kSlot, ParamId::kEqFrequency, ch, band});
    };
    const std::optional<int> page = kInL;
    const auto set = [&rig](ParamId id, int channel, int element, int index) {
      return rig.Set(id, channel, element, index).status == model::EditStatus::kDone;
    };
    switch (source) {
      case 0:
        QVERIFY(set(ParamId::kEqFrequency, kInR, 2, 793));
        break;
      case 1:
        QVERIFY(set(ParamId::kLink, kInL, -1, 1));
        QVERIFY(set(ParamId::kGateThreshold, kInL, -1, 5));
        QCOMPARE(rig.edits().Index({kSlot, ParamId::kGateThreshold, kInR, -1}), 5);
        break;
      case 2:
        QVERIFY(set(ParamId::kEqType, kInL, 0, 2));
        QVERIFY(set(ParamId::kEqFrequency, kInL, 0, 793));
        QVERIFY(set(ParamId::kCompRatio, kInL, -1, 3));
        QCOMPARE(int(rig.tools().copier.Copy(kSlot, programs::CopyMode::kInput, 0, 1, page)),
                 int(protocol::EditResult::kDone));
        QCOMPARE(band_hz(kInR, 0), 793);
        break;
      case 3:
        QVERIFY(rig.sim.device(rig.device)
                    .StoreProgram(0, rig.RecordWithMovedBand(2345).left(
                                         rig.runtime.store.Data(kSlot)->image_size())));
        rig.runtime.names.At(kSlot)->program_status[0] = 0;
        QCOMPARE(int(rig.tools().memory.Recall(kSlot, 0, page, {}).status),
                 int(programs::TransferStatus::kDone));
        QCOMPARE(band_hz(kInR, 4), 2345);
        break;
      case 4: {
        const QString path = rig.startup.filePath(QStringLiteral("moved.540"));
        QCOMPARE(programs::WriteFileAtomically(path, rig.RecordWithMovedBand(3456)), QString());
        QCOMPARE(int(rig.tools().files.LoadPreset(kSlot, path, page, {}).outcome),
                 int(programs::FileOutcome::kDone));
        QCOMPARE(band_hz(kInR, 4), 3456);
        break;
      }
      case 5: {
        const int before = band_hz(kInR, 3);
        QVERIFY(set(ParamId::kEqFrequency, kInR, 3, 4567));
        QCOMPARE(int(rig.edits().Undo(kSlot).UndoLast().status), int(model::EditStatus::kDone));
        QCOMPARE(band_hz(kInR, 3), before);
        break;
      }
    }
    QCOMPARE(rig.window->PageChannel(rig.window->current_page()), kInL);
    int compared = 0;
    QCOMPARE(rig.Mismatches(&compared), QStringList());
    // Every band control of both inputs and the three outputs, and more.
    QVERIFY2(compared > 5 * (12 + 12 + 5 + 5 + 5), qPrintable(QString::number(compared)));
  }
};

QTEST_MAIN(ImageViewsTest)
#include "ImageViewsTest.moc"
