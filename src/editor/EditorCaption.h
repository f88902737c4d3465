#pragma once

#include <QString>
#include <cstdint>

namespace tessaly::editor {

enum class LoadedFrom { kProgram, kFile };

// "USB RK-540" or "IP:10.0.0.7 RL-4800": which device, over which link.
QString DeviceCaption(int16_t connection_mode, const QString& ip_address, const QString& model);

// "USB RK-540 - program loaded: Live" or "IP:10.0.0.7 RL-4800 - file loaded: Venue".
QString EditorCaption(int16_t connection_mode, const QString& ip_address, const QString& model,
                      const QString& program_name, LoadedFrom from);

// "Offline RK-540 - file loaded: venue.540": an editor of a preset file with no device behind it.
QString OfflineCaption(const QString& model, const QString& file_name);

}  // namespace tessaly::editor
