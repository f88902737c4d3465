#pragma once

#include <QString>

namespace tessaly::settings {

class Settings;

// The kinds of file whose dialogs each open where the last one of their kind was chosen.
enum class FileKind { kPreset, kProject };

// The folder of the last file of `kind`, or `fallback` before the first or when it is gone.
QString LastFolder(const Settings& settings, FileKind kind, const QString& fallback);
void RememberFolder(Settings& settings, FileKind kind, const QString& chosen_file);

}  // namespace tessaly::settings
