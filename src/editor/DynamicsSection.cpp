#include "editor/DynamicsSection.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <span>

#include "editor/EditorSupport.h"
#include "editor/ParameterColumn.h"
#include "editor/SwitchBinding.h"
#include "protocol/Offsets.h"

namespace tessaly::editor {
namespace {

struct Control {
  model::ParamId id;
  const char* caption;
};

constexpr Control kGate[] = {{model::ParamId::kGateThreshold, "Thr [dBV]"},
                             {model::ParamId::kGateRelease, "Release [ms]"},
                             {model::ParamId::kGateAttack, " Attack [ms]"}};
constexpr Control kCompressor[] = {
    {model::ParamId::kCompThreshold, "Thr [dBV]"}, {model::ParamId::kCompRatio, "Ratio [In:Out]"},
    {model::ParamId::kCompKnee, " Knee  [%]"},     {model::ParamId::kCompRelease, "Release [sec]"},
    {model::ParamId::kCompAttack, " Attack [ms]"}, {model::ParamId::kCompMakeup, "Makeup [dB]"}};
constexpr Control kLimiter[] = {{model::ParamId::kLimThreshold, "Thr [dBV]"},
                                {model::ParamId::kLimRelease, "Release [sec]"},
                                {model::ParamId::kLimAttack, " Attack [ms]"}};

// A processor's frame: its knobs side by side, and its bypass box in a frame of its own.
QGroupBox* Processor(EditorContext& context, int channel, const QString& title,
                     std::span<const Control> controls, model::ParamId bypass_id,
                     const QString& bypass_frame, const char* name, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  box->setObjectName(QString::fromLatin1(name));
  auto* row = new QHBoxLayout(box);
  // Close columns leave an input page room for its gate and compressor in a 1280-pixel window.
  row->setSpacing(4);
  // Faders grow with the section: the page's splitter trades their length against the EQ graph.
  for (const Control& c : controls) {
    row->addWidget(new ParameterColumn(context, c.id, channel,
                                       {QString::fromLatin1(c.caption), true, 0, -1}, box));
  }
  // The gate's box sits in its own frame; the compressor's and limiter's in a captioned one.
  QWidget* holder = box;
  if (!bypass_frame.isEmpty()) holder = new QGroupBox(bypass_frame, box);
  auto* bypass = new QCheckBox(QStringLiteral("Bypass"), holder);
  bypass->setObjectName(ObjectStem(model::Param(bypass_id).name) + QStringLiteral("Check"));
  new SwitchBinding(context, Target(context, bypass_id, channel), bypass);
  if (holder != box) {
    (new QVBoxLayout(holder))->addWidget(bypass);
    row->addWidget(holder, 0, Qt::AlignTop);
  } else {
    row->addWidget(bypass, 0, Qt::AlignTop);
  }
  return box;
}

}  // namespace

DynamicsSection::DynamicsSection(EditorContext& context, int channel, QWidget* parent)
    : QWidget(parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  const protocol::Layout& layout = protocol::LayoutOfType(DeviceTypeOf(context));
  if (layout.IsInput(channel)) {
    row->addWidget(Processor(context, channel, QStringLiteral("Noise Gate"), kGate,
                             model::ParamId::kGateBypass, QString(), "gateFrame", this));
    row->addWidget(Processor(context, channel, QStringLiteral("RMS Compressor"), kCompressor,
                             model::ParamId::kCompBypass, QStringLiteral("Compressor"),
                             "compressorFrame", this));
  } else {
    row->addWidget(Processor(context, channel, QStringLiteral("Peak Limiter"), kLimiter,
                             model::ParamId::kLimBypass, QStringLiteral("Limiter"), "limiterFrame",
                             this));
  }
  row->addStretch(1);
}

}  // namespace tessaly::editor
