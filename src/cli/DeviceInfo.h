#pragma once

#include <QJsonObject>
#include <QString>

#include "cli/Session.h"

namespace tessaly::cli {

// What scan and identify report about one device.
struct DeviceInfo {
  int slot = 0;
  QString address;  // empty over USB
  int type = 0;
  QString name;  // trailing blanks removed

  // "0\t127.0.0.2\t3\t540S\tMain PA"
  QString Line() const;
  QJsonObject Json() const;
};

// The model caption without its padding blanks: "540S".
QString ModelText(int type);
DeviceInfo InfoOfSlot(Session& session, int slot);

}  // namespace tessaly::cli
