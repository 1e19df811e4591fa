#include "app/import/adjust_window.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/dir_chooser_widget.h"
#include "app/qt_text.h"
#include "app/ui_port.h"

namespace snapcrate {
namespace {

struct FieldSpec {
  OffsetField field;
  const char* caption;
  const char* text_name;
  const char* bar_name;
};

constexpr FieldSpec kFields[] = {
    {OffsetField::kYear, "&Year", "TextEAYear", "VScrollEAYear"},
    {OffsetField::kWeek, "&Week", "TextEAWeek", "VScrollEAWeek"},
    {OffsetField::kDay, "&Day", "TextEADay", "VScrollEADay"},
    {OffsetField::kHour, "H&our", "TextEAHour", "VScrollEAHour"},
    {OffsetField::kMin, "&Min", "TextEAMin", "VScrollEAMin"},
    {OffsetField::kSec, "&Sec", "TextEASec", "VScrollEASec"},
};

size_t Index(OffsetField field) { return static_cast<size_t>(field); }

}  // namespace

AdjustWindow::AdjustWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("SC_ExifAdjustDateTime");
  setWindowTitle("Adjust Exif Date & Time");
  setSizeGripEnabled(true);

  auto* chooser = new DirChooserWidget(dialog_.chooser(), "Drive1", "Dir1", this);
  chooser->dir_list()->setToolTip("Every .jpg picture below this directory is adjusted");
  auto* directory = new QGroupBox("Source && Target Directory", this);
  auto* directory_layout = new QVBoxLayout(directory);
  directory_layout->addWidget(chooser);

  auto* offset = new QGroupBox("Determine Exif Adjustment Offset", this);
  auto* grid = new QGridLayout(offset);
  int column = 0;
  for (const FieldSpec& entry : kFields) {
    const OffsetField field = entry.field;
    const int limit = OffsetLimit(field);
    auto* caption = new QLabel(entry.caption, offset);
    auto* text = new QLineEdit(offset);
    text->setObjectName(entry.text_name);
    text->setToolTip(QString("%1 (0 to %2)").arg(QString(entry.caption).remove('&')).arg(limit));
    text->setAlignment(Qt::AlignRight);
    text->setMaxLength(6);
    text->setFixedWidth(text->fontMetrics().horizontalAdvance("00000") + 16);
    caption->setBuddy(text);
    auto* bar = new QScrollBar(Qt::Vertical, offset);
    bar->setObjectName(entry.bar_name);
    bar->setRange(0, limit);
    bar->setPageStep(1);
    bar->setFixedHeight(text->sizeHint().height() + 8);
    bar->setToolTip(text->toolTip());
    texts_[Index(field)] = text;
    bars_[Index(field)] = bar;
    grid->addWidget(caption, 0, column, 1, 2, Qt::AlignHCenter);
    grid->addWidget(text, 1, column);
    grid->addWidget(bar, 1, column + 1);
    column += 2;
    connect(text, &QLineEdit::textChanged, this, [this, field](const QString& typed) {
      if (updating_) return;
      dialog_.TextChanged(field, ToBytes(typed));
      ShowField(field);
    });
    connect(bar, &QScrollBar::valueChanged, this, [this, field](int value) {
      if (updating_) return;
      dialog_.SpinChanged(field, value);
      ShowField(field);
    });
  }
  auto* plus = new QRadioButton("+", offset);
  plus->setObjectName("OptionEAPlus");
  plus->setToolTip("Move the dates forward");
  auto* minus = new QRadioButton("-", offset);
  minus->setObjectName("OptionEAMinus");
  minus->setToolTip("Move the dates back");
  auto* signs = new QButtonGroup(this);
  signs->addButton(plus);
  signs->addButton(minus);
  (dialog_.sign() > 0 ? plus : minus)->setChecked(true);
  sign_ = new QLabel(ToQString(dialog_.SignText()), offset);
  sign_->setObjectName("LabelEASign");
  QFont large = sign_->font();
  large.setPointSize(large.pointSize() * 2);
  large.setBold(true);
  sign_->setFont(large);
  sign_->setMinimumWidth(sign_->fontMetrics().horizontalAdvance("+") * 2);
  sign_->setAlignment(Qt::AlignCenter);
  connect(plus, &QRadioButton::clicked, this, [this] {
    dialog_.SetSign(+1);
    sign_->setText("+");
    ShowSummary();
  });
  connect(minus, &QRadioButton::clicked, this, [this] {
    dialog_.SetSign(-1);
    sign_->setText("-");
    ShowSummary();
  });
  auto* sign_column = new QVBoxLayout;
  sign_column->addWidget(plus);
  sign_column->addWidget(minus);
  grid->addLayout(sign_column, 0, column, 2, 1);
  grid->addWidget(sign_, 0, column + 1, 2, 1);
  summary_ = new QLabel(offset);
  summary_->setObjectName("LabelEAOffset");
  grid->addWidget(summary_, 2, 0, 1, column + 2);

  auto* help = new QPushButton("&Help", this);
  help->setObjectName("Command3");
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("Command1");
  ok->setDefault(true);
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("Command2");
  connect(help, &QPushButton::clicked, this, [] { ShowMessage(kAdjustHelpText); });
  connect(ok, &QPushButton::clicked, this, &AdjustWindow::Accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(help);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(directory, 1);
  layout->addWidget(offset);
  layout->addLayout(buttons);
  for (const FieldSpec& entry : kFields) ShowField(entry.field);
  resize(560, 560);
}

void AdjustWindow::ShowField(OffsetField field) {
  updating_ = true;
  QLineEdit* text = texts_[Index(field)];
  const QString value = ToQString(dialog_.FieldText(field));
  if (text->text() != value) text->setText(value);
  bars_[Index(field)]->setValue(dialog_.SpinValue(field));
  updating_ = false;
  ShowSummary();
}

void AdjustWindow::ShowSummary() {
  const bool fits = dialog_.OffsetInSeconds().has_value();
  summary_->setText(ToQString(dialog_.OffsetSummary()));
  // A warning red that reads on the theme's background, light or dark.
  QPalette palette = this->palette();
  if (!fits) {
    const bool dark = palette.color(QPalette::Window).lightness() < 128;
    palette.setColor(QPalette::WindowText, dark ? QColor(255, 138, 128) : QColor(176, 0, 0));
  }
  summary_->setPalette(palette);
  QFont font = summary_->font();
  font.setBold(!fits);
  summary_->setFont(font);
}

void AdjustWindow::Accept() {
  if (dialog_.Confirm() == AdjustDialog::ConfirmResult::kConfirmed) accept();
}

}  // namespace snapcrate
