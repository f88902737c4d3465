#pragma once

#include <QDialog>

class QTextBrowser;

namespace tessaly::app {

// The user guide, built into the program, in a window of its own that stays open beside the
// editors.
class UserGuideWindow : public QDialog {
  Q_OBJECT

 public:
  explicit UserGuideWindow(QWidget* parent = nullptr);

  QTextBrowser* browser() const { return browser_; }

 private:
  QTextBrowser* browser_ = nullptr;
};

}  // namespace tessaly::app
