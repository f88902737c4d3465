#pragma once

#include <QDialog>
#include <array>
#include <cstdint>

class QRadioButton;

namespace tessaly::connect {

// "Select Device": which device type USB demo mode plays.
class DemoDeviceDialog : public QDialog {
  Q_OBJECT

 public:
  explicit DemoDeviceDialog(int16_t preset, QWidget* parent = nullptr);

  int16_t demo_type() const { return demo_type_; }
  int16_t highlighted() const { return highlighted_; }

 private:
  void Highlight(int16_t type);
  void Ok();

  std::array<QRadioButton*, 4> option1_{};
  int16_t highlighted_ = 3;
  int16_t demo_type_ = 3;
};

}  // namespace tessaly::connect
