#include "app/about_window.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/about_info.h"
#include "app/qt_text.h"
#include "app/text.h"

namespace snapcrate {

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("SC_About");
  setWindowTitle("About Snapcrate");
  auto* label = new QLabel(ToQString(ReplaceAll(AboutLabelText(), "\r\n", "\n")), this);
  label->setObjectName("Label1");
  auto* versions = new QPlainTextEdit(ToQString(ReplaceAll(LibraryVersionsText(), "\r\n", "\n")), this);
  versions->setObjectName("Text1");
  versions->setReadOnly(true);
  versions->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  versions->setLineWrapMode(QPlainTextEdit::NoWrap);
  versions->setMinimumSize(440, versions->fontMetrics().lineSpacing() * 4 + 16);
  auto* close = new QPushButton("OK", this);
  close->setObjectName("Command1");
  close->setDefault(true);
  auto* credits = new QPushButton("&Credits", this);
  credits->setObjectName("Command2");
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  connect(credits, &QPushButton::clicked, this, [this] {
    QMessageBox::information(this, "Snapcrate", ToQString(ReplaceAll(CreditsText(), "\r\n", "\n")));
  });
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(credits);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(versions);
  layout->addLayout(buttons);
}

}  // namespace snapcrate
