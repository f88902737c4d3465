#include <QtTest>
#include <functional>
#include <memory>

#include "device/DeviceTypes.h"
#include "editor/DelayControls.h"
#include "editor/DeviceSettingsPanel.h"
#include "editor/DynamicsSection.h"
#include "editor/EqSection.h"
#include "editor/GainStrip.h"
#include "editor/OutputMixer.h"
#include "editor/ui/EditorRig.h"
#include "widgets/ValueEdit.h"

namespace device = tessaly::device;
namespace editor = tessaly::editor;
namespace model = tessaly::model;
namespace test = tessaly::test;
using tessaly::widgets::ValueEdit;

namespace {

constexpr int kSlot = test::EditorRig::kSlot;

// One text box of an editor: the page part it sits in, its name, what it edits and a value
// typed with a point (the box turns the point into the locale's symbol as it is typed).
struct Box {
  const char* name;
  int type;
  std::function<QWidget*(editor::EditorContext&)> make;
  model::EditTarget target;
  const char* typed;
};

const Box kBoxes[] = {
    {"gainEdit",
     device::kTypeRk540,
     [](editor::EditorContext& c) { return new editor::GainStrip(c, 0); },
     {kSlot, model::ParamId::kGain, 0},
     "-6.5"},
    {"compThresholdEdit",
     device::kTypeRk540,
     [](editor::EditorContext& c) { return new editor::DynamicsSection(c, 0); },
     {kSlot, model::ParamId::kCompThreshold, 0},
     "-17.8"},
    {"delayEdit",
     device::kTypeRk540,
     [](editor::EditorContext& c) { return new editor::DelayControls(c, 0, false); },
     {kSlot, model::ParamId::kDelay, 0},
     "1.25"},
    {"eqGainEdit0",
     device::kType540S,
     [](editor::EditorContext& c) { return new editor::EqSection(c, 4); },
     {kSlot, model::ParamId::kEqGain, 4, 0},
     "-3.5"},
    {"eqQEdit0",
     device::kType540S,
     [](editor::EditorContext& c) { return new editor::EqSection(c, 4); },
     {kSlot, model::ParamId::kEqQ, 4, 0},
     "1.4"},
    {"hpFreqEdit",
     device::kType540S,
     [](editor::EditorContext& c) { return new editor::EqSection(c, 4); },
     {kSlot, model::ParamId::kHpFrequency, 4},
     "125.4"},
    {"noiseLevelEdit",
     device::kType540S,
     [](editor::EditorContext& c) { return new editor::DeviceSettingsPanel(c); },
     {kSlot, model::ParamId::kNoiseLevel, -1},
     "-12"},
    {"levelEdit",
     device::kType540S,
     [](editor::EditorContext& c) { return new editor::OutputMixer(c); },
     {kSlot, model::ParamId::kMixLevel, 4, 0},
     "-7"},
};

}  // namespace

class DecimalCommaTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { qputenv("TESSALY_TIME_SCALE", "0.05"); }

  // Every text box takes and shows the decimal symbol of the user's locale, and nothing else
  // decides it: the same typed value reaches the device either way.
  void everyBoxFollowsTheLocale() {
    for (const Box& box : kBoxes) {
      int index_with_point = -1;
      for (const bool comma : {false, true}) {
        const QString where = QStringLiteral("%1 comma %2").arg(box.name).arg(comma);
        test::EditorRig rig(box.type);
        rig.context.decimal_comma = comma;
        std::unique_ptr<QWidget> page(box.make(rig.context));
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        auto* edit = test::Find<ValueEdit>(*page, QString::fromLatin1(box.name));
        QVERIFY2(edit != nullptr, qPrintable(where));
        QVERIFY2(edit->decimalComma() == comma, qPrintable(where));
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromLatin1(box.typed));
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY2(rig.messenger_.shown.isEmpty(), qPrintable(where));
        const int index = rig.path.Index(box.target);
        if (!comma) index_with_point = index;
        QCOMPARE(index, index_with_point);
        const QString shown = edit->text();
        QCOMPARE(shown, rig.path.BoxText(box.target, comma));
        QVERIFY2(!shown.contains(comma ? u'.' : u','),
                 qPrintable(where + QLatin1Char(' ') + shown));
      }
      QVERIFY2(index_with_point >= 0, box.name);
    }
  }
};

QTEST_MAIN(DecimalCommaTest)
#include "DecimalCommaTest.moc"
