#pragma once

#include <QString>

namespace tessaly::device {

enum class MessageIcon { kNone, kCritical, kExclamation, kInformation, kQuestion };
enum class MessageButtons { kOk, kYesNo, kOkCancel };
enum class MessageAnswer { kOk, kYes, kNo, kCancel };

struct Message {
  MessageIcon icon = MessageIcon::kNone;
  QString title;
  QString text;
  MessageButtons buttons = MessageButtons::kOk;
};

// The answer of a box closed without a choice (Escape, the close button, nobody to ask): the safe
// way out of the question.
inline MessageAnswer SafeAnswer(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::kYesNo:
      return MessageAnswer::kNo;
    case MessageButtons::kOkCancel:
      return MessageAnswer::kCancel;
    case MessageButtons::kOk:
      break;
  }
  return MessageAnswer::kOk;
}

// The one seam every user message goes through: the windows show a message box, tests record the
// message and answer it.
class Messenger {
 public:
  virtual ~Messenger() = default;
  virtual MessageAnswer Show(const Message& message) = 0;
};

}  // namespace tessaly::device
