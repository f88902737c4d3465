#pragma once

#include <QRect>
#include <QString>
#include <QWidget>
#include <vector>

#include "editor/EditorContext.h"

namespace tessaly::editor {

// Page number of a block of the device's diagram: 0 to 7 a channel page, 8 the delays page,
// -1 for a code that selects nothing.
int DiagramPage(bool family_b, int code);

// The device's signal flow, inputs on the left through the routing to the outputs on the right.
// A click on a block asks for the page that edits it; the blocks of the page already shown are
// drawn as such.
class BlockDiagram : public QWidget {
  Q_OBJECT

 public:
  BlockDiagram(EditorContext& context, QString shown_key, QWidget* parent = nullptr);

  // Where the block captioned `caption` of `channel` (-1: the routing block) is drawn; empty when
  // there is no such block.
  QRect BlockRect(int channel, const QString& caption) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  // A page key as EditorWindow::PageIndex knows it ("channel-inl", "delays", "gains").
  void pageRequested(const QString& key);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  // Left and Right walk the blocks, Enter or Space opens the page of the one in focus.
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool event(QEvent* event) override;

 private:
  struct Block {
    int channel = -1;  // -1: the routing block between inputs and outputs
    int column = 0;
    QString caption;
    QString key;  // the page it selects; empty when it selects none
    QString tip;
    QColor colour;
  };

  void AddChannel(int channel, bool output);
  QString KeyOfCode(int code) const;
  QString ChannelKey(int channel) const;
  QRectF Place(const Block& block) const;
  int BlockAt(QPoint pos) const;
  int RowHeight() const;

  EditorContext& context_;
  QString shown_key_;
  int device_type_ = 0;
  int inputs_ = 0;
  int outputs_ = 0;
  int hovered_ = -1;
  int focused_ = 0;
  std::vector<Block> blocks_;
};

}  // namespace tessaly::editor
