#include "editor/CrossPointView.h"

#include <QGridLayout>
#include <QLabel>

#include "editor/SettingBinder.h"
#include "model/ParameterDescriptor.h"
#include "widgets/ValueEdit.h"

namespace tessaly::editor {

CrossPointView::CrossPointView(EditorContext& context, const QString& title,
                               CrossPointLayout layout, QWidget* parent)
    : QWidget(parent),
      context_(context),
      binder_(new SettingBinder(context, this)),
      grid_(new CrossPointGrid(*binder_, std::move(layout), this)),
      cell_label_(new QLabel(this)),
      level_edit_(new widgets::ValueEdit(this)) {
  grid_->setObjectName(QStringLiteral("crossPointGrid"));
  grid_->setAccessibleName(title);
  level_edit_->setObjectName(QStringLiteral("levelEdit"));
  binder_->TakeDecimals(level_edit_);
  level_edit_->setMaximumWidth(
      level_edit_->fontMetrics().horizontalAdvance(QStringLiteral("-00 ")) * 2);
  auto* heading = new QLabel(title, this);
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  auto* level_label = new QLabel(QStringLiteral("Level [dB]"), this);
  level_label->setBuddy(level_edit_);

  auto* grid = new QGridLayout(this);
  grid->addWidget(heading, 0, 0, 1, 3);
  grid->addWidget(grid_, 1, 0, 1, 3);
  grid->addWidget(cell_label_, 2, 0, 1, 3);
  grid->addWidget(level_label, 3, 0);
  grid->addWidget(level_edit_, 3, 1);
  grid->setColumnStretch(2, 1);
  grid->setRowStretch(4, 1);
  setTabOrder(grid_, level_edit_);

  const CrossPointLayout& cells = grid_->layout();
  connect(grid_, &CrossPointGrid::currentChanged, this, &CrossPointView::ShowCurrent);
  connect(level_edit_, &widgets::ValueEdit::textCommitted, this, [this](const QString& text) {
    const QPoint cell = grid_->current();
    const QPoint t = grid_->layout().target(cell.y(), cell.x());
    binder_->SetText(grid_->layout().level_id, t.x(), t.y(), text);
  });
  connect(level_edit_, &widgets::ValueEdit::keyRefused, this,
          [this] { binder_->WarnIncorrectValue(); });
  for (int row = 0; row < cells.rows.size(); ++row) {
    for (int column = 0; column < cells.columns.size(); ++column) {
      const QPoint t = cells.target(row, column);
      binder_->Bind(cells.level_id, t.x(), t.y(), [this, row, column](int) {
        if (grid_->current() == QPoint(column, row)) ShowCurrent();
      });
    }
  }
  ShowCurrent();
}

void CrossPointView::ShowCurrent() {
  const QPoint cell = grid_->current();
  const CrossPointLayout& cells = grid_->layout();
  const QPoint t = cells.target(cell.y(), cell.x());
  cell_label_->setText(cells.cell_name(cell.y(), cell.x()));
  if (binder_->Index(cells.level_id, t.x(), t.y()) < 0) return;
  level_edit_->setText(binder_->BoxText(cells.level_id, t.x(), t.y()));
}

}  // namespace tessaly::editor
