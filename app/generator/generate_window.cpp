#include "app/generator/generate_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/dir_chooser_widget.h"
#include "app/qt_text.h"
#include "app/rating_scale.h"
#include "app/schemes/config_editor_window.h"
#include "app/text.h"

namespace snapcrate {
namespace {

QPushButton* Button(const QString& caption, const char* name, const QString& tip, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  if (!tip.isEmpty()) button->setToolTip(tip);
  return button;
}

// A row of option buttons 1 to 6 named prefix + number, exclusive but clearable.
QButtonGroup* RatingRow(const char* prefix, const QString& tip, QGridLayout* grid, int row,
                        QWidget* parent) {
  auto* group = new QButtonGroup(parent);
  for (int rating = 1; rating <= 6; ++rating) {
    auto* option = new QRadioButton(QString::number(rating), parent);
    option->setObjectName(QString("%1%2").arg(prefix).arg(rating));
    option->setToolTip(tip.arg(rating));
    group->addButton(option, rating);
    grid->addWidget(option, row, rating);
  }
  return group;
}

void CheckRating(QButtonGroup* group, int rating) {
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons()) button->setChecked(group->id(button) == rating);
  group->setExclusive(true);
}

}  // namespace

GenerateWindow::GenerateWindow(QWidget* parent, GenerationRequest& request)
    : QDialog(parent),
      dialog_([this](AlbumConfig& buffer) { return ConfigEditorWindow::Edit(buffer, this); },
              request) {
  setObjectName("SC_GenHTML");
  setWindowTitle(ToQString(kGenerateTitle));
  setSizeGripEnabled(true);

  source_ = new DirChooserWidget(dialog_.source(), "Drive1", "Dir1", this);
  destination_ = new DirChooserWidget(dialog_.destination(), "Drive2", "Dir2", this);
  source_->dir_list()->setToolTip(
      "Specifies the source image directory (including subdirectories)");
  destination_->dir_list()->setToolTip(
      "Specifies the target directory of the generated HTML files");
  auto* source_frame = new QGroupBox("Source", this);
  (new QVBoxLayout(source_frame))->addWidget(source_);
  auto* destination_frame = new QGroupBox("Destination", this);
  auto* destination_layout = new QVBoxLayout(destination_frame);
  destination_layout->addWidget(destination_);
  auto* same =
      Button("Sa&me as Source", "Command3",
             "Set the destination directory equal to the source directory", destination_frame);
  connect(same, &QPushButton::clicked, this, [this] {
    dialog_.DestinationEqualsSource();
    destination_->Sync();
  });
  destination_layout->addWidget(same, 0, Qt::AlignRight);

  auto* ok = Button("Generate", "Command1", "Generate the album with these choices", this);
  ok->setDefault(true);
  auto* cancel =
      Button("Cancel", "Command2", "Close without generating; the destination is remembered", this);
  connect(ok, &QPushButton::clicked, this, &GenerateWindow::Accept);
  connect(cancel, &QPushButton::clicked, this, &GenerateWindow::Cancel);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);

  auto* top = new QHBoxLayout;
  top->addWidget(BuildConfigFrame(), 3);
  top->addWidget(BuildRatingsFrame(), 2);
  auto* directories = new QHBoxLayout;
  directories->addWidget(source_frame);
  directories->addWidget(destination_frame);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(directories, 1);
  layout->addLayout(buttons);
  resize(780, 620);
  ShowState();
}

QWidget* GenerateWindow::BuildConfigFrame() {
  auto* frame = new QGroupBox("Select Album Configuration", this);
  configs_ = new QComboBox(frame);
  configs_->setObjectName("Combo1");
  configs_->setToolTip("The album configuration: scheme, picture and thumbnail sizes");
  configs_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  configs_->setMinimumContentsLength(16);
  connect(configs_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (updating_) return;
    dialog_.Select(index);
    ShowState();
  });
  config_text_ = new QPlainTextEdit(frame);
  config_text_->setObjectName("Text1");
  config_text_->setReadOnly(true);
  config_text_->setFixedHeight(config_text_->fontMetrics().lineSpacing() * 4 + 12);
  auto* add = Button("&New", "CommandNew", "Create a new album configuration", frame);
  auto* edit = Button("&Edit", "CommandEdit", "Edit the selected album configuration", frame);
  auto* remove =
      Button("&Delete", "CommandDelete", "Delete the selected album configuration", frame);
  connect(add, &QPushButton::clicked, this, [this] { Run([this] { dialog_.NewConfig(); }); });
  connect(edit, &QPushButton::clicked, this, [this] { Run([this] { dialog_.EditConfig(); }); });
  connect(remove, &QPushButton::clicked, this, [this] { Run([this] { dialog_.DeleteConfig(); }); });
  auto* row = new QHBoxLayout;
  row->addWidget(configs_, 1);
  row->addWidget(add);
  row->addWidget(edit);
  row->addWidget(remove);
  auto* layout = new QVBoxLayout(frame);
  layout->addLayout(row);
  layout->addWidget(config_text_);
  return frame;
}

QWidget* GenerateWindow::BuildRatingsFrame() {
  auto* frame = new QGroupBox("Minimal Ratings", this);
  frame->setToolTip(
      "Only pictures rated at least this well go into the album; none chosen: every picture");
  auto* grid = new QGridLayout(frame);
  auto* quality_label = new QLabel("&Qual.", frame);
  auto* originality_label = new QLabel("&Orig.", frame);
  grid->addWidget(quality_label, 0, 0);
  grid->addWidget(originality_label, 1, 0);
  quality_ = RatingRow("OptionQ", "Minimal quality %1", grid, 0, frame);
  originality_ = RatingRow("OptionO", "Minimal originality %1", grid, 1, frame);
  quality_label->setBuddy(quality_->button(1));
  originality_label->setBuddy(originality_->button(1));
  connect(quality_, &QButtonGroup::idClicked, this,
          [this](int rating) { dialog_.SetMinQuality(rating); });
  connect(originality_, &QButtonGroup::idClicked, this,
          [this](int rating) { dialog_.SetMinOriginality(rating); });
  auto* reset = Button("Rese&t", "CommandRatingsReset", "No minimal ratings: every picture", frame);
  connect(reset, &QPushButton::clicked, this, [this] {
    dialog_.ResetRatings();
    ShowRatings();
  });
  auto* scale = new QLabel(kRatingScaleText, frame);
  scale->setObjectName("LabelRatingScale");
  grid->addWidget(scale, 2, 0, 1, 4);
  grid->addWidget(reset, 2, 4, 1, 3, Qt::AlignRight);
  auto_orient_ = new QCheckBox("Turn pictures &upright (EXIF orientation)", frame);
  auto_orient_->setObjectName("CheckAutoOrient");
  auto_orient_->setToolTip(
      "Pictures without a rotation in their description are turned as the camera recorded");
  connect(auto_orient_, &QCheckBox::toggled, this, [this](bool on) { dialog_.SetAutoOrient(on); });
  grid->addWidget(auto_orient_, 3, 0, 1, 7);
  grid->setRowStretch(4, 1);
  return frame;
}

void GenerateWindow::Run(const std::function<void()>& action) {
  try {
    action();
  } catch (const FatalEndError& error) {
    // The message was shown; the window closes and its opener ends the program.
    fatal_ = error;
    reject();
    return;
  }
  ShowState();
}

void GenerateWindow::ShowState() {
  updating_ = true;
  configs_->clear();
  for (const std::string& name : dialog_.ConfigNames()) configs_->addItem(ToQString(name));
  configs_->setCurrentIndex(dialog_.selected());
  config_text_->setPlainText(ToQString(ReplaceAll(dialog_.ConfigText(), "\r\n", "\n")));
  updating_ = false;
  ShowRatings();
}

void GenerateWindow::ShowRatings() {
  CheckRating(quality_, dialog_.min_quality());
  CheckRating(originality_, dialog_.min_originality());
  auto_orient_->setChecked(dialog_.auto_orient());
}

void GenerateWindow::Accept() {
  if (dialog_.Confirm()) accept();
}

void GenerateWindow::Cancel() { reject(); }

void GenerateWindow::reject() {
  // Escape and the close box do what Cancel says; a fatal error only closes.
  if (!fatal_) dialog_.Cancel();
  QDialog::reject();
}

int GenerateWindow::RunModal() {
  const int code = exec();
  if (fatal_) throw *fatal_;
  return code;
}

}  // namespace snapcrate
