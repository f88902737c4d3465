#include "editor/EqBandControls.h"

#include <QActionGroup>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>
#include <array>

#include "editor/EditorSupport.h"
#include "editor/ParameterBinding.h"
#include "editor/PendingDot.h"
#include "editor/SwitchBinding.h"
#include "model/EditPath.h"
#include "model/ParameterDescriptor.h"
#include "protocol/ValueLists.h"
#include "protocol/ValueScale.h"
#include "widgets/Knob.h"
#include "widgets/ParameterSlider.h"
#include "widgets/ValueEdit.h"

namespace tessaly::editor {
namespace {

constexpr std::array<const char*, protocol::kEqTypeCount> kMenuItems = {
    "Bell", "Hi-Shelving Q", "Lo-Shelving Q", "High Pass Q", "Low Pass Q", "Notch Filter"};
constexpr int kSliderHeight = 48;
constexpr int kKnobSide = 30;
constexpr int kZeroDbByte = 30;

QString Numbered(const char* stem, int band) { return QLatin1String(stem) + QString::number(band); }

}  // namespace

EqBandControls::EqBandControls(EditorContext& context, int channel, int band, QWidget* parent)
    : QFrame(parent), context_(context), channel_(channel), band_(band) {
  setObjectName(Numbered("eqBand", band));
  setFrameShape(QFrame::StyledPanel);

  auto* number = new QLabel(QString::number(band + 1), this);
  number->setAlignment(Qt::AlignHCenter);

  type_button_ = new QToolButton(this);
  type_button_->setObjectName(Numbered("eqTypeButton", band));
  type_button_->setToolTip(QStringLiteral("Filter Type"));
  type_button_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  type_menu_ = new QMenu(QStringLiteral("Filter Type"), this);
  type_menu_->setObjectName(QStringLiteral("filterTypeMenu"));
  auto* group = new QActionGroup(type_menu_);
  for (int t = 0; t < protocol::kEqTypeCount; ++t) {
    QAction* item = type_menu_->addAction(QString::fromLatin1(kMenuItems[t]));
    item->setCheckable(true);
    group->addAction(item);
    connect(item, &QAction::triggered, this, [this, t] { PickType(t); });
  }
  connect(type_button_, &QToolButton::clicked, this, &EqBandControls::PopUpTypeMenu);

  freq_edit_ = new widgets::ValueEdit(this);
  freq_edit_->setObjectName(Numbered("eqFreqEdit", band));
  freq_edit_->setKeyRules(widgets::ValueEdit::KeyRules::kDigits);
  freq_edit_->setAccessibleName(QStringLiteral("Frequency [Hz]"));
  connect(freq_edit_, &widgets::ValueEdit::textCommitted, this,
          &EqBandControls::OnFrequencyCommitted);
  connect(freq_edit_, &widgets::ValueEdit::keyRefused, this,
          [this] { ShowIncorrectValue(context_.messenger); });

  gain_ = new ParameterBinding(context, Band(model::ParamId::kEqGain), this);
  gain_knob_ = new widgets::Knob(this);
  gain_knob_->setObjectName(Numbered("eqGainKnob", band));
  gain_knob_->setAccessibleName(QStringLiteral("Gain [dB]"));
  gain_knob_->setFixedSize(kKnobSide, kKnobSide);
  gain_->SetKnob(gain_knob_);
  gain_slider_ = new widgets::ParameterSlider(this);
  gain_slider_->setObjectName(Numbered("eqGainSlider", band));
  gain_slider_->setFixedHeight(kSliderHeight);
  gain_->SetSlider(gain_slider_);
  gain_edit_ = new widgets::ValueEdit(this);
  gain_edit_->setObjectName(Numbered("eqGainEdit", band));
  gain_->SetEdit(gain_edit_);
  gain_->SetDefaultIndex(kZeroDbByte);

  auto* q_up = new QToolButton(this);
  q_up->setObjectName(Numbered("eqQUp", band));
  q_up->setArrowType(Qt::UpArrow);
  auto* q_down = new QToolButton(this);
  q_down->setObjectName(Numbered("eqQDown", band));
  q_down->setArrowType(Qt::DownArrow);
  connect(q_up, &QToolButton::clicked, this, [this] { StepQ(1); });
  connect(q_down, &QToolButton::clicked, this, [this] { StepQ(-1); });
  q_edit_ = new widgets::ValueEdit(this);
  q_edit_->setObjectName(Numbered("eqQEdit", band));
  q_edit_->setAccessibleName(QStringLiteral("Q"));
  TakeDecimals(context, q_edit_);
  connect(q_edit_, &widgets::ValueEdit::textCommitted, this, &EqBandControls::OnQCommitted);
  connect(q_edit_, &widgets::ValueEdit::keyRefused, this, [this] {
    context_.messenger.Show({device::MessageIcon::kExclamation, QString::fromLatin1(kWarningTitle),
                             QString::fromLatin1(kIncorrectQValue), device::MessageButtons::kOk});
  });

  auto* bypass = new QToolButton(this);
  bypass->setObjectName(Numbered("eqBypass", band));
  bypass->setText(QStringLiteral("Byp"));
  bypass->setToolTip(QStringLiteral("Band bypass"));
  bypass->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  new SwitchBinding(context, Band(model::ParamId::kEqBandBypass), bypass);
  bypass_ = bypass;

  const int text_width = fontMetrics().horizontalAdvance(QStringLiteral("20000")) * 3 / 2;
  for (widgets::ValueEdit* edit : {freq_edit_, gain_edit_, q_edit_}) {
    edit->setFixedWidth(text_width);
    edit->setAlignment(Qt::AlignHCenter);
  }

  // The arrows share the height of the text box beside them.
  const int arrow_height = q_edit_->sizeHint().height() / 2;
  q_up->setFixedHeight(arrow_height);
  q_down->setFixedHeight(arrow_height);
  auto* q_arrows = new QVBoxLayout;
  q_arrows->setSpacing(0);
  q_arrows->addWidget(q_up);
  q_arrows->addWidget(q_down);
  auto* q_row = new QHBoxLayout;
  q_row->setSpacing(1);
  q_row->addWidget(q_edit_);
  q_row->addLayout(q_arrows);

  auto* title = new QHBoxLayout;
  title->setSpacing(2);
  title->addWidget(number);
  title->addWidget(type_button_, 1);
  title->addWidget(bypass_);  // on the title row: one row less under the graph
  auto* gain_row = new QHBoxLayout;
  gain_row->setSpacing(2);
  // The knob over its value, the fader beside both.
  auto* knob_and_value = new QVBoxLayout;
  knob_and_value->setSpacing(1);
  knob_and_value->addWidget(gain_knob_, 0, Qt::AlignHCenter);
  knob_and_value->addWidget(gain_edit_, 0, Qt::AlignHCenter);
  gain_row->addLayout(knob_and_value);
  gain_row->addWidget(gain_slider_);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(2, 2, 2, 2);
  column->setSpacing(2);
  column->addLayout(title);
  column->addWidget(freq_edit_, 0, Qt::AlignHCenter);
  column->addLayout(gain_row);
  column->addLayout(q_row);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

  PendingDot::Follow(*type_button_, context_.edits, Band(model::ParamId::kEqType));
  PendingDot::Follow(*freq_edit_, context_.edits, Band(model::ParamId::kEqFrequency));
  PendingDot::Follow(*q_edit_, context_.edits, Band(model::ParamId::kEqQ));
  connect(&context_.edits, &model::EditPath::parameterChanged, this,
          &EqBandControls::OnParameterChanged);
  connect(&context_.edits, &model::EditPath::programReplaced, this, [this](int slot) {
    if (slot == context_.slot) Refresh();
  });
  Refresh();
}

model::EditTarget EqBandControls::Band(model::ParamId id) const {
  return Target(context_, id, channel_, band_);
}

void EqBandControls::Refresh() {
  const int type = context_.edits.Index(Band(model::ParamId::kEqType));
  type_button_->setText(protocol::EqTypeName(type));
  freq_edit_->setText(BoxText(context_, Band(model::ParamId::kEqFrequency)));
  q_edit_->setText(BoxText(context_, Band(model::ParamId::kEqQ)));
  gain_->Refresh();
}

void EqBandControls::OnParameterChanged(int slot, int channel, model::ParamId id, int element) {
  if (slot != context_.slot || channel != channel_) return;
  if (id == model::ParamId::kEqFlat ||
      (model::Param(id).scope == model::Scope::kBand && element == band_)) {
    Refresh();
  }
}

void EqBandControls::PopUpTypeMenu() {
  const int type = context_.edits.Index(Band(model::ParamId::kEqType));
  const QList<QAction*> items = type_menu_->actions();
  for (int t = 0; t < items.size(); ++t) items[t]->setChecked(t == type);
  type_menu_->popup(type_button_->mapToGlobal(QPoint(0, type_button_->height())));
}

void EqBandControls::PickType(int type) {
  type_menu_->hide();
  const model::EditTarget freq = Band(model::ParamId::kEqFrequency);
  bool number = false;
  const int typed = freq_edit_->text().toInt(&number);
  // A frequency typed but not yet entered goes out with the new type, clamped.
  const bool fresh_type = context_.edits.Index(Band(model::ParamId::kEqType)) != type;
  std::vector<model::FieldIndex> fields;
  if (!number) {
    freq_edit_->setText(QString::number(context_.edits.Index(freq)));
  } else if (fresh_type && typed != context_.edits.Index(freq)) {
    const model::ParseResult hz = context_.edits.Parse(freq, freq_edit_->text());
    if (hz.ok()) fields.push_back({freq, *hz.index});
  }
  // One packet carries the band with both.
  fields.push_back({Band(model::ParamId::kEqType), type});
  context_.edits.SetIndexes(fields);
  Refresh();
}

void EqBandControls::OnFrequencyCommitted(const QString& text) {
  const model::EditOutcome outcome =
      context_.edits.SetText(Band(model::ParamId::kEqFrequency), text);
  if (outcome.status == model::EditStatus::kRefused) {
    ShowIncorrectValue(context_.messenger);
    return;
  }
  Refresh();
}

void EqBandControls::OnQCommitted(const QString& text) {
  const model::EditOutcome outcome =
      context_.edits.SetText(Band(model::ParamId::kEqQ), text, TextOptions(context_));
  if (outcome.status == model::EditStatus::kRefused) {
    context_.messenger.Show({device::MessageIcon::kExclamation, QString::fromLatin1(kWarningTitle),
                             QString::fromLatin1(kIncorrectQValue), device::MessageButtons::kOk});
    return;
  }
  Refresh();
}

void EqBandControls::StepQ(int steps) {
  context_.edits.StepIndex(Band(model::ParamId::kEqQ), steps);
}

void EqBandControls::ShowDragged(const graph::MarkerValue& value) {
  freq_edit_->setText(QString::number(value.hz));
  const int byte = model::EqGainIndexOf(value.gain_db);
  gain_knob_->setIndex(byte);
  gain_slider_->setIndex(byte);
  gain_edit_->setText(QString::number(value.gain_db));
}

}  // namespace tessaly::editor
