#include "editor/EqFileActions.h"

#include <QFile>
#include <QFileDialog>

#include "editor/EditorSupport.h"
#include "editor/EqImportDialog.h"
#include "graph/TextFile.h"
#include "model/EditPath.h"
#include "model/EqFilterText.h"
#include "protocol/CommonOperations.h"
#include "protocol/ProgramStore.h"
#include "protocol/ValueLists.h"

namespace tessaly::editor {
namespace {

const QString kRewFilter = QStringLiteral("REW filter settings (*.txt)");
const QString kApoFilter = QStringLiteral("Equalizer APO configuration (*.txt)");

void Warn(EditorContext& context, const QString& title, const QString& text) {
  context.messenger.Show(
      {device::MessageIcon::kExclamation, title, text, device::MessageButtons::kOk});
}

}  // namespace

EqImportDialog* OpenImportPreview(EditorContext& context, int channel, const QString& path,
                                  QWidget* parent) {
  const QString title = QStringLiteral("EQ Import");
  QString error;
  const auto text = graph::ReadTextFile(path, &error);
  if (!text) {
    Warn(context, title, error);
    return nullptr;
  }
  const model::FilterListOrFault read = model::ParseFilterText(*text);
  if (!read.list) {
    Warn(context, title,
         QStringLiteral("%1 is not a filter list.\n%2").arg(path, read.fault.Sentence()));
    return nullptr;
  }
  const protocol::ProgramStore& store = context.edits.store();
  const protocol::ProgramData* data = store.Data(context.slot);
  const protocol::SlotState* state = store.State(context.slot);
  if (data == nullptr || state == nullptr) return nullptr;
  auto plan = model::PlanImport(*read.list, *data, *state, channel);
  if (!plan) return nullptr;
  return new EqImportDialog(context, std::move(*plan), path, parent);
}

void ImportEqFromFile(EditorContext& context, int channel, QWidget* parent) {
  const QString path = QFileDialog::getOpenFileName(
      parent, QStringLiteral("Import EQ"), QString(),
      kRewFilter + QStringLiteral(";;") + kApoFilter + QStringLiteral(";;All files (*)"));
  if (path.isEmpty()) return;
  EqImportDialog* dialog = OpenImportPreview(context, channel, path, parent);
  if (dialog == nullptr) return;
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->open();
}

bool ExportEq(EditorContext& context, int channel, const QString& path, bool rew_format) {
  const protocol::ProgramStore& store = context.edits.store();
  const protocol::ProgramData* data = store.Data(context.slot);
  const protocol::SlotState* state = store.State(context.slot);
  if (data == nullptr || state == nullptr) return false;
  std::vector<model::FilterBand> bands;
  for (int b = 0; b < data->layout().BandCount(channel); ++b) {
    const auto global = data->layout().GlobalBand(channel, b);
    const auto values = protocol::ReadEqBand(*data, channel, b);
    if (!global || !values) return false;
    bands.push_back(model::BandAsFilter(*values, state->band_bypass[static_cast<size_t>(*global)]));
  }
  const QString title = protocol::ChannelName(DeviceTypeOf(context), channel);
  const QByteArray bytes =
      model::WriteFilterText(rew_format ? model::FilterFormat::kRew : model::FilterFormat::kApo,
                             bands, title)
          .toUtf8();
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
    Warn(context, QStringLiteral("EQ Export"),
         QStringLiteral("%1 could not be written: %2.").arg(path, file.errorString()));
    return false;
  }
  return true;
}

void ExportEqToFile(EditorContext& context, int channel, QWidget* parent) {
  QString chosen = kRewFilter;
  const QString path =
      QFileDialog::getSaveFileName(parent, QStringLiteral("Export EQ"), QString(),
                                   kRewFilter + QStringLiteral(";;") + kApoFilter, &chosen);
  if (path.isEmpty()) return;
  ExportEq(context, channel, path, chosen == kRewFilter);
}

}  // namespace tessaly::editor
