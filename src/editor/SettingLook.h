#pragma once

#include <QColor>
#include <QIcon>
#include <QPalette>
#include <QString>

class QWidget;

namespace tessaly::editor {

// A channel's short caption as its page tab shows it: "1" to "4", "L", "R", "S" on family B,
// the channel's name on family A.
QString TabCaption(bool family_b, int channel);

// The channel's colour from the response graph, lightened where it would be too dark to read as
// text on the palette's window colour.
QColor ChannelTextColour(bool family_b, int channel, const QPalette& palette);

// Gives a label or box the channel's colour from the response graph, so a channel reads the
// same everywhere.
void ColourByChannel(QWidget* widget, bool family_b, int channel);

// A power symbol: amber in standby, green while the device operates.
QIcon StandbyIcon(bool standby, const QPalette& palette);

}  // namespace tessaly::editor
