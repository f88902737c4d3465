#include "app/QtMessenger.h"

#include <QMessageBox>

namespace tessaly::app {

namespace {

QMessageBox::Icon IconOf(device::MessageIcon icon) {
  switch (icon) {
    case device::MessageIcon::kCritical:
      return QMessageBox::Critical;
    case device::MessageIcon::kExclamation:
      return QMessageBox::Warning;
    case device::MessageIcon::kInformation:
      return QMessageBox::Information;
    case device::MessageIcon::kQuestion:
      return QMessageBox::Question;
    case device::MessageIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsOf(device::MessageButtons buttons) {
  switch (buttons) {
    case device::MessageButtons::kYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case device::MessageButtons::kOkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case device::MessageButtons::kOk:
      break;
  }
  return QMessageBox::Ok;
}

}  // namespace

device::MessageAnswer QtMessenger::Show(const device::Message& message) {
  QMessageBox box(IconOf(message.icon), message.title, message.text, ButtonsOf(message.buttons),
                  parent_.data());
  // The texts are the program's own fixed messages, never markup.
  box.setTextFormat(Qt::PlainText);
  // A question under a warning sign takes No on Enter: its Yes gives something up.
  if (message.icon == device::MessageIcon::kExclamation &&
      message.buttons == device::MessageButtons::kYesNo) {
    box.setDefaultButton(QMessageBox::No);
  }
  const int answer = box.exec();
  switch (answer) {
    case QMessageBox::Yes:
      return device::MessageAnswer::kYes;
    case QMessageBox::No:
      return device::MessageAnswer::kNo;
    case QMessageBox::Cancel:
      return device::MessageAnswer::kCancel;
    case QMessageBox::Ok:
      return device::MessageAnswer::kOk;
    default:
      break;
  }
  // Closing the box with Escape or its close button.
  return device::SafeAnswer(message.buttons);
}

}  // namespace tessaly::app
