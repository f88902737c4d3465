#pragma once

#include <QAbstractButton>
#include <QLineEdit>
#include <QtTest>

#include "editor/EditorContext.h"
#include "graph/ResponseCurves.h"
#include "model/EditPath.h"
#include "protocol/FamilyBSimFixture.h"
#include "widgets/Theme.h"

namespace tessaly::test {

// One emulated device over loopback TCP with the edit path and an editor context on it.
struct EditorRig : ProtocolDeviceFixture {
  explicit EditorRig(int type, const QString& address = {})
      : ProtocolDeviceFixture(type, address) {}

  model::EditTarget Target(model::ParamId id, int channel = -1, int element = -1) {
    return {kSlot, id, channel, element};
  }
  model::EditTarget Target(const QString& name, int channel = -1, int element = -1) {
    return Target(model::FindParameter(name)->id, channel, element);
  }
  template <typename Id>
  int Index(const Id& id, int channel = -1, int element = -1) {
    return path.Index(Target(id, channel, element));
  }
  // The packets the edit path sends for one edit, as a twin rig sees them.
  QStringList Sent() const {
    QStringList hex;
    for (const QByteArray& packet : sent) hex << QString::fromStdString(Hex(packet));
    return hex;
  }

  graph::ResponseCurves curves{store_};
  model::EditPath path{store_, curves, dispatcher_};
  editor::EditorContext context{path, messenger_, kSlot, false};
};

template <typename T = QWidget>
T* Find(QWidget& root, const QString& name) {
  T* found = root.findChild<T*>(name);
  if (found == nullptr) qWarning("no widget %s", qPrintable(name));
  return found;
}

// Saves a picture of the widget when TESSALY_SHOT_DIR names a folder, to look at the layout.
inline void Shoot(QWidget& widget, const QString& name) {
  const QString dir = qEnvironmentVariable("TESSALY_SHOT_DIR");
  if (dir.isEmpty()) return;
  widgets::ApplyTheme(*static_cast<QApplication*>(QCoreApplication::instance()));
  QCoreApplication::processEvents();
  widget.grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

}  // namespace tessaly::test
