#include "editor/OutputMixer.h"

#include "editor/SettingLook.h"

namespace tessaly::editor {

namespace {

constexpr int kFirstOutput = 4;
constexpr int kOutputs = 3;
constexpr const char* kInputs[] = {"In 1 L", "In 1 R", "In 2 L", "In 2 R"};
constexpr const char* kOutputNames[] = {"Out L", "Out R", "Out S"};

CrossPointLayout Layout() {
  CrossPointLayout layout;
  layout.on_id = model::ParamId::kMixOn;
  layout.level_id = model::ParamId::kMixLevel;
  // More inputs than outputs: the inputs go down the left.
  for (const char* input : kInputs) layout.rows << QString::fromLatin1(input);
  for (int output = 0; output < kOutputs; ++output) {
    layout.columns << TabCaption(true, kFirstOutput + output);
  }
  layout.column_block = kOutputs;
  layout.target = [](int row, int column) { return QPoint(kFirstOutput + column, row); };
  layout.cell_name = [](int row, int column) {
    return QStringLiteral("%1 to %2")
        .arg(QString::fromLatin1(kInputs[row]), QString::fromLatin1(kOutputNames[column]));
  };
  layout.row_channel = [](int row) { return row; };
  layout.column_channel = [](int column) { return kFirstOutput + column; };
  return layout;
}

}  // namespace

OutputMixer::OutputMixer(EditorContext& context, QWidget* parent)
    : CrossPointView(context, QStringLiteral("OUTPUT MIXER"), Layout(), parent) {
  setObjectName(QStringLiteral("outputMixer"));
}

}  // namespace tessaly::editor
