#pragma once

// Renders the Select Port window as it opens on TCP/IP, after a switch to USB and after the
// switch back (it must shrink again), and the file dialog with a preset in its folder:
// dialog-select-port-<tcp|usb|tcp-again>.png, dialog-file.png.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QRadioButton>
#include <cstdio>

#include "connect/ConnectRuntime.h"
#include "connect/ui/PortSelectionDialog.h"
#include "widgets/FileDialog.h"

inline bool SaveShot(QWidget& widget, const QDir& folder, const QString& name) {
  QCoreApplication::processEvents();
  const QString path = folder.filePath(name + QStringLiteral(".png"));
  const bool ok = widget.grab().save(path);
  std::printf("%s\n", qPrintable(path));
  return ok;
}

inline bool SaveConnectDialogs(tessaly::connect::ConnectContext& context, const QDir& folder) {
  tessaly::connect::PortSelectionDialog select(context);
  if (!select.Load()) return false;
  select.show();
  const auto pick = [&select](int transport) {
    select.findChild<QRadioButton*>(QStringLiteral("transportOption_%1").arg(transport))->click();
  };
  pick(1);
  bool ok = SaveShot(select, folder, QStringLiteral("dialog-select-port-tcp"));
  pick(0);
  ok = SaveShot(select, folder, QStringLiteral("dialog-select-port-usb")) && ok;
  pick(1);
  ok = SaveShot(select, folder, QStringLiteral("dialog-select-port-tcp-again")) && ok;
  select.close();

  // A preset of some 22 KiB beside a project, as a user's folder holds them.
  const QString dir = context.session.program_folder;
  QFile preset(QDir(dir).filePath(QStringLiteral("Main PA venue, Saturday.54s")));
  if (preset.open(QIODevice::WriteOnly)) preset.write(QByteArray(22800, '\0'));
  preset.close();
  QFileDialog dialog(nullptr, QStringLiteral("Load"), dir, QStringLiteral("540S (*.54s)"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  tessaly::widgets::FitFileDialog(dialog);
  dialog.show();
  // The folder is read on a thread of its own.
  for (int i = 0; i < 50; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  ok = SaveShot(dialog, folder, QStringLiteral("dialog-file")) && ok;
  return ok;
}
