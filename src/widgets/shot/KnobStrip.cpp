// Renders a strip of editor controls to a PNG: tessaly-knob-strip [out.png] [light|dark]
#include <QApplication>
#include <QEnterEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <cstdio>

#include "widgets/Knob.h"
#include "widgets/ParameterSlider.h"
#include "widgets/Theme.h"
#include "widgets/ValueEdit.h"

using tessaly::widgets::Knob;
using tessaly::widgets::ParameterSlider;
using tessaly::widgets::ValueEdit;

namespace {
QString Gain(int index) {
  const double db = (index - 120) / 2.0;
  return QStringLiteral("%1%2 dB").arg(db > 0 ? QStringLiteral("+") : QString()).arg(db, 0, 'f', 1);
}

void AddColumn(QGridLayout& grid, int column, const QString& caption, int index, bool hovered,
               bool enabled) {
  auto* knob = new Knob;
  knob->setMaximum(144);
  knob->setDefaultIndex(120);
  knob->setTextFunction(&Gain);
  knob->setIndex(index);
  knob->setEnabled(enabled);
  if (hovered) {
    QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
    QApplication::sendEvent(knob, &enter);
  }
  auto* slider = new ParameterSlider;
  slider->setPositionCount(145);
  slider->setIndex(index);
  slider->setEnabled(enabled);
  slider->setMinimumHeight(120);
  auto* edit = new ValueEdit;
  edit->setText(Gain(index).chopped(3));
  edit->setEnabled(enabled);
  edit->setMaximumWidth(64);
  grid.addWidget(new QLabel(caption), 0, column, Qt::AlignHCenter);
  grid.addWidget(knob, 1, column, Qt::AlignHCenter);
  grid.addWidget(slider, 2, column, Qt::AlignHCenter);
  grid.addWidget(edit, 3, column, Qt::AlignHCenter);
}
}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments();
  if (args.size() > 2) qputenv("TESSALY_COLOR_SCHEME", args.at(2).toLatin1());
  tessaly::widgets::ApplyTheme(app);

  QWidget strip;
  auto* grid = new QGridLayout(&strip);
  AddColumn(*grid, 0, QStringLiteral("min"), 0, true, true);
  AddColumn(*grid, 1, QStringLiteral("-12 dB"), 96, false, true);
  AddColumn(*grid, 2, QStringLiteral("0 dB"), 120, true, true);
  AddColumn(*grid, 3, QStringLiteral("+6 dB"), 132, true, true);
  AddColumn(*grid, 4, QStringLiteral("max"), 144, false, true);
  AddColumn(*grid, 5, QStringLiteral("disabled"), 100, false, false);
  strip.show();
  const QString path = args.size() > 1 ? args.at(1) : QStringLiteral("knob-strip.png");
  if (!strip.grab().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return 1;
  }
  return 0;
}
