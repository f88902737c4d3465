#pragma once

#include <QString>

namespace tessaly::widgets {

// The extensions a file dialog's name filter offers, lower case, in order: "file project
// (*.Pj5 *.pj5)" gives "pj5"; "*" alone offers none.
QStringList FilterExtensions(const QString& name_filter);

// `path` with the filter's first extension added when its name ends in none of the filter's
// extensions (case ignored), so "show" saved as a preset is written as "show.540".
QString WithFilterExtension(const QString& path, const QString& name_filter);

}  // namespace tessaly::widgets
