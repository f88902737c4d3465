#include "app/QtMessenger.h"

#include <QMessageBox>

namespace tessaly::app {

namespace {

QMessageBox::Icon IconOf(comm::MessageIcon icon) {
  switch (icon) {
    case comm::MessageIcon::kCritical:
      return QMessageBox::Critical;
    case comm::MessageIcon::kExclamation:
      return QMessageBox::Warning;
    case comm::MessageIcon::kInformation:
      return QMessageBox::Information;
    case comm::MessageIcon::kQuestion:
      return QMessageBox::Question;
    case comm::MessageIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsOf(comm::MessageButtons buttons) {
  switch (buttons) {
    case comm::MessageButtons::kYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case comm::MessageButtons::kOkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case comm::MessageButtons::kOk:
      break;
  }
  return QMessageBox::Ok;
}

}  // namespace

comm::MessageAnswer QtMessenger::Show(const comm::Message& message) {
  QMessageBox box(IconOf(message.icon), message.title, message.text, ButtonsOf(message.buttons),
                  parent_.data());
  // The texts are the program's own fixed messages, never markup.
  box.setTextFormat(Qt::PlainText);
  const int answer = box.exec();
  switch (answer) {
    case QMessageBox::Yes:
      return comm::MessageAnswer::kYes;
    case QMessageBox::No:
      return comm::MessageAnswer::kNo;
    case QMessageBox::Cancel:
      return comm::MessageAnswer::kCancel;
    case QMessageBox::Ok:
      return comm::MessageAnswer::kOk;
    default:
      break;
  }
  // Closing the box with Escape or its close button.
  return comm::SafeAnswer(message.buttons);
}

}  // namespace tessaly::app
