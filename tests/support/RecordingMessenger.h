#pragma once

#include <QList>
#include <deque>
#include <functional>

#include "device/Messenger.h"

namespace tessaly::test {

// Records every message the code under test shows and answers from a queue (Yes/Ok when empty).
class RecordingMessenger : public device::Messenger {
 public:
  device::MessageAnswer Show(const device::Message& message) override {
    shown.append(message);
    if (on_show) on_show(message);
    if (answers.empty()) {
      return message.buttons == device::MessageButtons::kYesNo ? device::MessageAnswer::kYes
                                                               : device::MessageAnswer::kOk;
    }
    const device::MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }

  QList<device::Message> shown;
  // Called while the message is shown, to look at what the user sees behind it.
  std::function<void(const device::Message&)> on_show;
  std::deque<device::MessageAnswer> answers;
};

}  // namespace tessaly::test
