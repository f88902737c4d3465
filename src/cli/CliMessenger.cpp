#include "cli/CliMessenger.h"

namespace tessaly::cli {

comm::MessageAnswer CliMessenger::Show(const comm::Message& message) {
  shown_.append(message);
  return comm::SafeAnswer(message.buttons);
}

}  // namespace tessaly::cli
