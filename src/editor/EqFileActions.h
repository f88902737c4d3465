#pragma once

#include <QString>

#include "editor/EditorContext.h"

class QWidget;

namespace tessaly::editor {

class EqImportDialog;

// Reads a filter-settings file and opens its import preview for the channel (not yet shown); a
// file that cannot be read is named, with its line, in a message box and nullptr is returned.
EqImportDialog* OpenImportPreview(EditorContext& context, int channel, const QString& path,
                                  QWidget* parent);
// Asks for a file, then shows its preview until the user applies or cancels it.
void ImportEqFromFile(EditorContext& context, int channel, QWidget* parent);
// Asks for a file and a format and writes the channel's bands into it.
void ExportEqToFile(EditorContext& context, int channel, QWidget* parent);
// Writes the channel's bands; false (with a message box) when the file cannot be written.
bool ExportEq(EditorContext& context, int channel, const QString& path, bool rew_format);

}  // namespace tessaly::editor
