#pragma once

#include <QJsonObject>
#include <QString>

#include "model/ParameterDescriptor.h"

namespace tessaly::cli {

// "A B", "A" or "B".
QString FamiliesText(int families);
// The channels a parameter takes, as help set names them: "in", "out", "any" or "device".
QString ChannelsText(model::Scope scope);
// One row of help set: name, families, channels and the accepted values.
QString HelpRow(const model::ParameterDescriptor& parameter);
// One entry of params --json.
QJsonObject ParameterJson(const model::ParameterDescriptor& parameter);

}  // namespace tessaly::cli
