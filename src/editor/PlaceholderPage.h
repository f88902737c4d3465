#pragma once

#include <QWidget>

namespace tessaly::editor {

// Stands in for a page whose controls are not built yet, so the page list is complete.
class PlaceholderPage : public QWidget {
  Q_OBJECT

 public:
  PlaceholderPage(const QString& title, QWidget* parent = nullptr);
};

}  // namespace tessaly::editor
