#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include "device/DeviceTypes.h"
#include "editor/ui/EditorRig.h"
#include "graph/GraphScale.h"
#include "graph/MeasurementBook.h"
#include "graph/ui/GraphPlot.h"
#include "graph/ui/ResponseGraphWindow.h"

using tessaly::graph::ResponseGraphWindow;
namespace test = tessaly::test;

namespace {

constexpr int kA = tessaly::device::kTypeRk540;
constexpr int kB = tessaly::device::kType540S;
constexpr int kSlot = test::EditorRig::kSlot;

// A device whose first input and first output carry a shaped EQ, and its graph window.
struct GraphRig : test::EditorRig {
  explicit GraphRig(int type) : EditorRig(type) {
    const int out = type == kB ? 4 : 2;
    path.SetText(Target("eq.N.gain", 0, 2), u"6");
    path.SetText(Target("eq.N.gain", out, 1), u"-4.5");
    path.SetText(Target("hp.slope", out), u"-24dB/oct LR");
    window = std::make_unique<ResponseGraphWindow>(curves, kSlot, type, context.messenger);
    window->resize(900, 520);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) qWarning("graph window not shown");
  }
  template <typename W>
  W* Get(const QString& name) {
    return test::Find<W>(*window, name);
  }
  QImage Picture() { return window->plot()->grab().toImage(); }

  std::unique_ptr<ResponseGraphWindow> window;
};

bool HasColour(const QImage& image, const QColor& colour) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixelColor(x, y) == colour) return true;
    }
  }
  return false;
}

}  // namespace

class ResponseGraphWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // Check boxes per channel, trimmed names; an output's sum options follow its check box; with
  // nothing checked only the grid is drawn.
  void choices() {
    GraphRig rig(kB);
    QCOMPARE(rig.window->shown().size(), size_t{7});
    QCOMPARE(rig.Get<QCheckBox>("viewCheck0")->text(), QStringLiteral("In1L"));
    rig.Get<QRadioButton>("sumOption4_2")->setChecked(true);
    const auto& left = rig.window->shown()[4];
    QCOMPARE(left.name, QStringLiteral("Left + In1R"));
    QCOMPARE(left.values[700],
             *rig.curves.ChannelValue(kSlot, 4, 700) + *rig.curves.ChannelValue(kSlot, 1, 700));
    rig.Get<QCheckBox>("viewCheck4")->setChecked(false);
    QVERIFY(!rig.Get<QGroupBox>("sumGroup4")->isEnabled());
    QVERIFY(rig.Get<QGroupBox>("sumGroup5")->isEnabled());
    for (int ch = 0; ch < 7; ++ch) {
      rig.Get<QCheckBox>("viewCheck" + QString::number(ch))->setChecked(false);
    }
    QVERIFY(rig.window->shown().empty());
    const QImage empty = rig.Picture();
    QVERIFY(HasColour(empty, QColor(80, 80, 80)));
    for (int ch : {0, 1, 6}) {
      const auto rgb = tessaly::graph::ChannelColour(true, ch);
      QVERIFY(!HasColour(empty, QColor(rgb.r, rgb.g, rgb.b)));
    }
  }

  // A channel's measurements follow its curve in the legend, each with its predicted result.
  void legendNamesTheMeasurements() {
    GraphRig rig(kA);
    tessaly::graph::Measurement flat;
    flat.hz = {20.0, 20000.0};
    flat.db = {0.0, 0.0};
    tessaly::graph::Measurements().Add(kSlot, 2, {QStringLiteral("main.txt"), flat});
    QStringList names;
    for (const auto& line : rig.window->plot()->Legend()) names << line.name;
    tessaly::graph::Measurements().ReleaseSlot(kSlot);
    const qsizetype out = names.indexOf(rig.window->shown()[2].name);
    QVERIFY(out >= 0);
    QCOMPARE(names.mid(out, 3),
             QStringList({rig.window->shown()[2].name, "main.txt", "main.txt + EQ"}));
    QCOMPARE(names.size(), qsizetype(rig.window->shown().size() + 2));
  }

  // A resize redraws from the stored tables: nothing goes to the device and a flat channel's
  // line stays at mid-height of the new picture.
  void resizeRedraws() {
    GraphRig rig(kA);
    for (int ch : {0, 2, 3})
      rig.Get<QCheckBox>("viewCheck" + QString::number(ch))->setChecked(false);
    const qsizetype before = rig.sent.size();
    for (const QSize size : {QSize(700, 400), QSize(1300, 760)}) {
      rig.window->resize(size);
      QCoreApplication::processEvents();
      const QRect plot = rig.window->plot()->PlotRect();
      const QImage picture = rig.Picture();
      const auto teal = tessaly::graph::ChannelColour(false, 4);
      // On the grid's 0 dB row: curves round to pixels as the grid does.
      const int zero = plot.top() + tessaly::graph::DbToY(0.0, plot.height());
      QCOMPARE(picture.pixelColor(plot.left() + plot.width() / 3, zero),
               QColor(teal.r, teal.g, teal.b));
    }
    QCOMPARE(rig.sent.size(), before);
  }

  // The read-out with the button down: 20 Hz at the left edge, 20000 Hz at the right, 30 dB at
  // the top, 0 dB at mid-height; clamped outside the picture; gone at the release.
  void cursor() {
    GraphRig rig(kA);
    QWidget* plot = rig.window->plot();
    const QRect area = rig.window->plot()->PlotRect();
    auto* label = plot->findChild<QLabel*>("freqGainLabel");
    QTest::mousePress(plot, Qt::LeftButton, {},
                      QPoint(area.left(), area.top() + area.height() / 2));
    QCOMPARE(label->text(), QStringLiteral("0dB; 20Hz"));
    QTest::mouseMove(plot, QPoint(area.left() + area.width() + 30, area.top() - 5));
    QCOMPARE(label->text(), QStringLiteral("30dB; 20000Hz"));
    QTest::mouseRelease(plot, Qt::LeftButton, {}, area.topLeft());
    QVERIFY(!label->isVisible());
  }

  // The shown curves go out as CSV, one row per frequency with a point as decimal separator
  // whatever the locale and never "-0.000", and the picture as PNG; the buttons confirm in the
  // main window's status bar.
  void exports() {
    QLocale::setDefault(QLocale(QLocale::German));
    GraphRig rig(kA);
    // A slight cut at 16 kHz leaves the low end a hair below 0 dB.
    rig.path.SetText(rig.Target("eq.N.gain", 1, 11), u"-0.5");
    rig.window->Redraw();
    QMainWindow main;
    main.show();
    rig.Get<QRadioButton>("sumOption3_2")->setChecked(true);
    QTemporaryDir dir;
    rig.window->SetPathChooser([&dir](const QString&, const QString& filter) {
      return dir.filePath(filter.contains("csv") ? "curves.csv" : "graph.png");
    });
    rig.Get<QPushButton>("exportCsvButton")->click();
    QCOMPARE(main.statusBar()->currentMessage(), QStringLiteral("Curves exported: curves.csv"));
    QFile file(dir.filePath("curves.csv"));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString text = QString::fromUtf8(file.readAll());
    QLocale::setDefault(QLocale::c());
    QVERIFY(!text.contains("-0.000"));
    const QStringList lines = text.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines[0], QStringLiteral("Frequency [Hz],InL [dB],InR [dB],Left [dB],Right + InR [dB],"
                                      "Sub [dB]"));
    double last_hz = 0.0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
      const QStringList row = lines[i].split(',');
      QCOMPARE(row.size(), 6);
      bool number = false;
      const double hz = row[0].toDouble(&number);
      QVERIFY2(number && hz > last_hz, qPrintable(lines[i]));
      last_hz = hz;
    }
    QCOMPARE(lines.size(), 1 + 1581);  // the grid's 1584 points meet three times
    const QStringList khz = lines.filter(QRegularExpression("^1000,"));
    QCOMPARE(khz.size(), 1);
    QCOMPARE(khz[0].split(',')[1].toDouble(),
             std::round(*rig.curves.ChannelValue(kSlot, 0, 781) * 1000) / 1000);
    rig.Get<QPushButton>("exportPngButton")->click();
    QCOMPARE(main.statusBar()->currentMessage(), QStringLiteral("Picture exported: graph.png"));
    QCOMPARE(QImage(dir.filePath("graph.png")).size(), rig.window->plot()->size());
    QVERIFY(!rig.window->ExportCsv(dir.filePath("missing/curves.csv")));
  }
};

QTEST_MAIN(ResponseGraphWindowTest)
#include "ResponseGraphWindowTest.moc"
