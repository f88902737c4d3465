#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "cli/Outcome.h"

namespace tessaly::cli {

// "on", "off", "1", "0", "true", "false", "yes", "no".
std::optional<bool> ParseOnOff(const QString& text);
// A typed number as the editors read it ("," or "." as separator).
std::optional<double> ParseNumber(const QString& text);
// The index of a list entry: its number in the list, or its caption compared without case and
// blanks ("-12dB/oct LR" matches "-12db/octlr"). `aliases` are extra captions per entry.
std::optional<int> ParseChoice(const QString& text, const QStringList& captions,
                               const QList<QStringList>& aliases = {});

// "\"abc\" is not <what>."
Outcome BadValue(const QString& value, const QString& what);

}  // namespace tessaly::cli
