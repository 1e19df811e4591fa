#include "app/log_window.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/log.h"
#include "app/qt_text.h"
#include "app/text.h"

namespace snapcrate {

LogWindow::LogWindow(QWidget* parent) : QWidget(parent) {
  setObjectName("SC_MDIChildLog");
  setWindowTitle("Log");
  text_ = new QPlainTextEdit(this);
  text_->setObjectName("Text1");
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setFont(QFont("Monospace"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(text_);
}

void LogWindow::ShowRing(const LogRing& ring) {
  QString text;
  for (const std::string& message : ring.Messages()) {
    text += ToQString(ReplaceAll(message, "\r\n", "\n"));
    text += '\n';
  }
  text_->setPlainText(text);
  text_->moveCursor(QTextCursor::End);
  text_->verticalScrollBar()->setValue(text_->verticalScrollBar()->maximum());
}

QString LogWindow::Text() const { return text_->toPlainText(); }

}  // namespace snapcrate
