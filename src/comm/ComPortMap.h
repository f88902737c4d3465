#pragma once

#include <QMap>
#include <QString>

namespace tessaly::comm {

// The one place where the COM number the user picks becomes a platform port name.
//
//   Windows:   COMn
//   elsewhere: $TESSALY_COM_DIR/COMn when that variable is set (a folder of links, e.g. to
//              pseudo-terminals), else /dev/ttyUSB(n-1): the first USB serial adapter is COM1.
//
// An explicit mapping set with Map() wins over both, which is how tests point a COM number at a
// pseudo-terminal without touching the environment.
class ComPortMap {
 public:
  void Map(int com_number, const QString& port_name) { overrides_[com_number] = port_name; }
  void Clear() { overrides_.clear(); }

  // Accepts "COM3" or "COM 3" as well as a number.
  QString PortName(int com_number) const;
  QString PortName(const QString& com_name) const;

  // "COM3" -> 3; 0 when the text is not a COM name.
  static int ComNumber(const QString& com_name);

 private:
  QMap<int, QString> overrides_;
};

}  // namespace tessaly::comm
