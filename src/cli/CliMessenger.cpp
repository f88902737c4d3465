#include "cli/CliMessenger.h"

namespace tessaly::cli {

device::MessageAnswer CliMessenger::Show(const device::Message& message) {
  shown_.append(message);
  return device::SafeAnswer(message.buttons);
}

}  // namespace tessaly::cli
