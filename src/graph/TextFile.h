#pragma once

#include <QString>
#include <optional>

namespace tessaly::graph {

// Measurement and filter texts are small; anything over this is not one of them.
inline constexpr qint64 kMaxTextFileBytes = 16 * 1024 * 1024;

// The whole file as UTF-8 text; nullopt with a sentence in `error` when it cannot be read.
std::optional<QString> ReadTextFile(const QString& path, QString* error);

}  // namespace tessaly::graph
