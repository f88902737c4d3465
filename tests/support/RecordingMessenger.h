#pragma once

#include <QList>
#include <deque>
#include <functional>

#include "comm/Messenger.h"

namespace tessaly::test {

// Records every message the code under test shows and answers from a queue (Yes/Ok when empty).
class RecordingMessenger : public comm::Messenger {
 public:
  comm::MessageAnswer Show(const comm::Message& message) override {
    shown.append(message);
    if (on_show) on_show(message);
    if (answers.empty()) {
      return message.buttons == comm::MessageButtons::kYesNo ? comm::MessageAnswer::kYes
                                                             : comm::MessageAnswer::kOk;
    }
    const comm::MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }

  QList<comm::Message> shown;
  // Called while the message is shown, to look at what the user sees behind it.
  std::function<void(const comm::Message&)> on_show;
  std::deque<comm::MessageAnswer> answers;
};

}  // namespace tessaly::test
