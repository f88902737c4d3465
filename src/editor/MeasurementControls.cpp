#include "editor/MeasurementControls.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QJsonDocument>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QToolButton>

#include "device/DeviceTypes.h"
#include "editor/EditorSupport.h"
#include "editor/MatchWindow.h"
#include "graph/MeasurementBook.h"
#include "graph/TextFile.h"

namespace tessaly::editor {
namespace {

const QString kTitle = QStringLiteral("Measurement");
const QString kTextFilter = QStringLiteral("Measurement text (*.txt *.frd *.csv);;All files (*)");
const QString kSessionFilter = QStringLiteral("Tessaly session (*.json)");

}  // namespace

MeasurementControls::MeasurementControls(EditorContext& context, int channel, QWidget* graph,
                                         QWidget* parent)
    : QGroupBox(kTitle, parent), context_(context), channel_(channel) {
  setObjectName(QStringLiteral("measurementControls"));
  auto* load = new QPushButton(QStringLiteral("Load measurement..."), this);
  load->setObjectName(QStringLiteral("loadMeasurementButton"));
  connect(load, &QPushButton::clicked, this, [this] {
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Load measurement"), {}, kTextFilter);
    if (!path.isEmpty()) Load(path);
  });
  auto* clear = new QPushButton(QStringLiteral("Clear"), this);
  clear->setObjectName(QStringLiteral("clearMeasurementButton"));
  connect(clear, &QPushButton::clicked, this,
          [this] { graph::Measurements().Clear(context_.slot, channel_); });

  offset_ = new QDoubleSpinBox(this);
  offset_->setObjectName(QStringLiteral("measurementOffsetSpin"));
  offset_->setRange(-150.0, 150.0);
  offset_->setSingleStep(0.5);
  offset_->setDecimals(1);
  offset_->setSuffix(QStringLiteral(" dB"));
  offset_->setToolTip(QStringLiteral("Offset added to the measurement to align its level"));
  connect(offset_, &QDoubleSpinBox::valueChanged, this,
          [this](double db) { graph::Measurements().SetOffset(context_.slot, channel_, db); });

  smoothing_ = new QComboBox(this);
  smoothing_->setObjectName(QStringLiteral("smoothingCombo"));
  for (const int n : graph::kSmoothingChoices) {
    smoothing_->addItem(n == 0 ? QStringLiteral("No smoothing") : QStringLiteral("1/%1 oct").arg(n),
                        n);
  }
  connect(smoothing_, &QComboBox::currentIndexChanged, this, [this](int index) {
    graph::Measurements().SetSmoothing(context_.slot, channel_,
                                       smoothing_->itemData(index).toInt());
  });

  auto* session = new QToolButton(this);
  session->setObjectName(QStringLiteral("sessionButton"));
  session->setText(QStringLiteral("Session"));
  session->setPopupMode(QToolButton::InstantPopup);
  auto* menu = new QMenu(session);
  menu->addAction(QStringLiteral("Save session..."), this, [this] {
    const QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Save session"), {}, kSessionFilter);
    if (!path.isEmpty()) SaveSession(path);
  });
  menu->addAction(QStringLiteral("Load session..."), this, [this] {
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Load session"), {}, kSessionFilter);
    if (!path.isEmpty()) LoadSession(path);
  });
  session->setMenu(menu);

  auto* match = new QPushButton(QStringLiteral("Match target..."), this);
  match->setObjectName(QStringLiteral("matchButton"));
  connect(match, &QPushButton::clicked, this, [this] {
    auto* window = new MatchWindow(context_, channel_, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->open();
  });

  note_ = new QLabel(this);
  note_->setObjectName(QStringLiteral("measurementNote"));
  note_->setWordWrap(true);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(4, 4, 4, 4);
  grid->setSpacing(2);
  grid->addWidget(load, 0, 0, 1, 2);
  grid->addWidget(offset_, 1, 0);
  grid->addWidget(clear, 1, 1);
  grid->addWidget(smoothing_, 2, 0);
  grid->addWidget(session, 2, 1);
  grid->addWidget(match, 3, 0, 1, 2);
  grid->addWidget(note_, 4, 0, 1, 2);

  if (graph != nullptr) {
    graph->setAcceptDrops(true);
    graph->installEventFilter(this);
  }
  connect(&graph::Measurements(), &graph::MeasurementBook::changed, this, [this](int slot, int ch) {
    if (slot == context_.slot && (ch == channel_ || ch < 0)) Refresh();
  });
  Refresh();
}

void MeasurementControls::Refresh() {
  const graph::ChannelMeasurements& set = graph::Measurements().Of(context_.slot, channel_);
  const QSignalBlocker quiet_offset(offset_);
  const QSignalBlocker quiet_smoothing(smoothing_);
  offset_->setValue(set.offset_db);
  const int index = smoothing_->findData(set.smoothing);
  smoothing_->setCurrentIndex(index < 0 ? 0 : index);
  QStringList names;
  for (const graph::LoadedMeasurement& m : set.items) names << m.name;
  if (names.isEmpty()) note_->clear();
  if (!names.isEmpty() && note_->text().isEmpty()) note_->setText(names.join(QStringLiteral(", ")));
}

void MeasurementControls::Warn(const QString& text) {
  context_.messenger.Show(
      {device::MessageIcon::kExclamation, kTitle, text, device::MessageButtons::kOk});
}

bool MeasurementControls::Load(const QString& path) {
  QString error;
  const auto text = graph::ReadTextFile(path, &error);
  if (!text) {
    Warn(error);
    return false;
  }
  graph::MeasurementOrFault read = graph::ParseMeasurement(*text);
  if (!read.measurement) {
    Warn(QStringLiteral("%1 is not a measurement.\n%2").arg(path, read.fault.Sentence()));
    return false;
  }
  const QString name = QFileInfo(path).fileName();
  const QStringList notes = read.measurement->notes;
  graph::Measurements().Add(context_.slot, channel_, {name, std::move(*read.measurement)});
  note_->setText(notes.isEmpty() ? name : name + QLatin1Char(' ') + notes.join(QLatin1Char(' ')));
  return true;
}

bool MeasurementControls::SaveSession(const QString& path) {
  const QByteArray bytes =
      QJsonDocument(graph::Measurements().SessionJson(context_.slot, DeviceTypeOf(context_)))
          .toJson();
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    Warn(QStringLiteral("%1 could not be written: %2.").arg(path, file.errorString()));
    return false;
  }
  return true;
}

bool MeasurementControls::LoadSession(const QString& path) {
  QString error;
  const auto text = graph::ReadTextFile(path, &error);
  QJsonParseError parse{};
  const QJsonDocument document =
      text ? QJsonDocument::fromJson(text->toUtf8(), &parse) : QJsonDocument();
  if (text && !document.isObject()) error = QStringLiteral("%1 is not a session file.").arg(path);
  if (error.isEmpty() && !graph::Measurements().LoadSession(context_.slot, DeviceTypeOf(context_),
                                                            document.object(), &error)) {
    error = path + QStringLiteral(": ") + error;
  }
  if (!error.isEmpty()) {
    Warn(error);
    return false;
  }
  return true;
}

bool MeasurementControls::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::DragEnter) {
    auto* drag = static_cast<QDragEnterEvent*>(event);
    if (drag->mimeData()->hasUrls()) drag->acceptProposedAction();
    return true;
  }
  if (event->type() == QEvent::Drop) {
    auto* drop = static_cast<QDropEvent*>(event);
    for (const QUrl& url : drop->mimeData()->urls()) {
      if (url.isLocalFile()) Load(url.toLocalFile());
    }
    drop->acceptProposedAction();
    return true;
  }
  return QGroupBox::eventFilter(watched, event);
}

}  // namespace tessaly::editor
