#include "editor/PlaceholderPage.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tessaly::editor {

PlaceholderPage::PlaceholderPage(const QString& title, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("placeholderPage"));
  setFocusPolicy(Qt::StrongFocus);
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(title, this);
  label->setAlignment(Qt::AlignCenter);
  label->setEnabled(false);
  layout->addWidget(label);
}

}  // namespace tessaly::editor
