#pragma once

#include <QPointer>
#include <QWidget>

#include "device/Messenger.h"

namespace tessaly::app {

// Shows every message of the application as a modal message box with the icon, title, text and
// buttons it was given.
class QtMessenger : public device::Messenger {
 public:
  explicit QtMessenger(QWidget* parent = nullptr) : parent_(parent) {}

  // Message boxes are centred on this window while it exists.
  void set_parent(QWidget* parent) { parent_ = parent; }

  device::MessageAnswer Show(const device::Message& message) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace tessaly::app
