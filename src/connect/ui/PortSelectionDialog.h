#pragma once

#include <QDialog>
#include <array>

#include "comm/SerialLink.h"
#include "comm/TcpLink.h"
#include "connect/ConnectSession.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tessaly::connect {

// "Select Port": USB or TCP/IP, the COM port, and the address or range to scan. OK writes
// init.cfg; "Exit" leaves everything as it was.
class PortSelectionDialog : public QDialog {
  Q_OBJECT

 public:
  PortSelectionDialog(ConnectContext& context, QWidget* parent = nullptr);

  // The load sequence; false when the TCP component could not be set up (the user was told).
  bool Load();

  QComboBox* combo1() const { return combo1_; }

 private:
  void SetTransport(int16_t mode);
  void SetAddressFrame(int option);
  void Combo1Click(int index);
  void RangeFieldEdited(int item, const QString& text);
  void RangeLastOctetDone(int item);
  void SearchCom();
  void Accept();
  void Exit();

  ConnectContext& context_;
  comm::TcpLink tcp_;
  comm::SerialLink serial_;
  std::array<QRadioButton*, 2> option2_{};
  std::array<QRadioButton*, 4> option1_{};
  QGroupBox* frame1_ = nullptr;
  QGroupBox* frame2_ = nullptr;
  QGroupBox* frame3_ = nullptr;
  std::array<QGroupBox*, 2> frame_ip_{};
  std::array<QLineEdit*, 4> text_sng_ip_{};
  std::array<QLineEdit*, 8> text_several_ip_{};
  std::array<QLabel*, 2> label_host_{};
  QComboBox* combo1_ = nullptr;
  QComboBox* combo2_ = nullptr;
};

}  // namespace tessaly::connect
