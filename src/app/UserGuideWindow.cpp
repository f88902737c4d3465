#include "app/UserGuideWindow.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

namespace tessaly::app {

UserGuideWindow::UserGuideWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("userGuideWindow"));
  setWindowTitle(QStringLiteral("Tessaly User Guide"));
  browser_ = new QTextBrowser(this);
  browser_->setObjectName(QStringLiteral("guideBrowser"));
  browser_->setOpenExternalLinks(true);
  QFile guide(QStringLiteral(":/tessaly/user-guide.md"));
  if (guide.open(QIODevice::ReadOnly)) {
    // Placeholders such as <folder> are words of the guide, not markup.
    browser_->document()->setMarkdown(
        QString::fromUtf8(guide.readAll()),
        QTextDocument::MarkdownFeatures(QTextDocument::MarkdownDialectGitHub |
                                        QTextDocument::MarkdownNoHTML));
  } else {
    browser_->setPlainText(QStringLiteral("The user guide is missing from this build."));
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
  auto* column = new QVBoxLayout(this);
  column->addWidget(browser_);
  column->addWidget(buttons);
  resize(760, 680);
}

}  // namespace tessaly::app
