#include "cli/CliMessenger.h"

namespace tessaly::cli {

comm::MessageAnswer CliMessenger::Show(const comm::Message& message) {
  shown_.append(message);
  switch (message.buttons) {
    case comm::MessageButtons::kYesNo:
      return comm::MessageAnswer::kNo;
    case comm::MessageButtons::kOkCancel:
      return comm::MessageAnswer::kCancel;
    case comm::MessageButtons::kOk:
      break;
  }
  return comm::MessageAnswer::kOk;
}

}  // namespace tessaly::cli
