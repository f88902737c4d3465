#pragma once

#include <QLineEdit>

namespace tessaly::widgets {

// A one-line box for typing a value. It filters keys as it goes and hands the text to its owner
// on Enter; reading, clamping and refusing the value are the owner's business. Undo and redo keys
// reach the box only while it holds text not yet entered; otherwise they go to the window, which
// takes back the device's last edit.
class ValueEdit : public QLineEdit {
  Q_OBJECT

 public:
  enum class KeyRules {
    // Digits, signs and the decimal separator; any other character is refused and shown as "?".
    kNumber,
    // Digits, blanks and the decimal separator; any other character quietly becomes a blank.
    kDelay,
    // Digits only; any other character is dropped and refused.
    kDigits,
    // Digits and the decimal separator, no sign; any other character is refused and shown as "?".
    kUnsigned,
  };

  explicit ValueEdit(QWidget* parent = nullptr);

  void setKeyRules(KeyRules rules) { rules_ = rules; }
  KeyRules keyRules() const { return rules_; }
  // Both "," and "." type the separator the locale writes.
  void setDecimalComma(bool comma) { decimal_comma_ = comma; }
  bool decimalComma() const { return decimal_comma_; }

 signals:
  void textCommitted(const QString& text);
  // A key the box does not take was turned into "?"; the owner tells the user.
  void keyRefused();

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  KeyRules rules_ = KeyRules::kNumber;
  bool decimal_comma_ = false;
};

}  // namespace tessaly::widgets
