#include "app/description_editor/description_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/dir_chooser_widget.h"
#include "app/rating_scale.h"
#include "app/qt_text.h"
#include "app/text.h"

namespace snapcrate {
namespace {

/// Stored text (CR LF line breaks) as a text field shows it.
QString ToField(const std::string& text) { return ToQString(ReplaceAll(text, "\r\n", "\n")); }

QPlainTextEdit* MakeTextField(const char* name, const QString& tip, int lines, QWidget* parent) {
  auto* field = new QPlainTextEdit(parent);
  field->setObjectName(name);
  field->setToolTip(tip);
  // Tab moves on to the next field: descriptions need no tab characters.
  field->setTabChangesFocus(true);
  // A fixed height leaves the rest of the window to the picture; longer texts scroll.
  field->setFixedHeight(field->fontMetrics().lineSpacing() * lines + 12);
  return field;
}

/// Checks the button with `value`'s id, or none for an empty value.
void SetChoice(QButtonGroup* group, const std::string& value, const std::vector<std::string>& values) {
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons()) {
    const int id = group->id(button);
    button->setChecked(id >= 1 && static_cast<size_t>(id) <= values.size() && values[id - 1] == value);
  }
  group->setExclusive(true);
}

const std::vector<std::string> kRatings = {"1", "2", "3", "4", "5", "6"};
const std::vector<std::string> kRotations = {"+90", "-90", "180"};

}  // namespace

DescriptionWindow::DescriptionWindow(QWidget* parent, DescriptionEditorServices services)
    : QDialog(parent), editor_(std::move(services)) {
  setObjectName("SC_Desc");
  setWindowTitle("Snapcrate - Add Image Descriptions");
  setSizeGripEnabled(true);

  editor_.Open();

  auto* top = new QSplitter(Qt::Horizontal, this);
  top->addWidget(BuildNavigation());
  top->addWidget(BuildPictureArea());
  top->setStretchFactor(0, 0);
  top->setStretchFactor(1, 1);
  top->setChildrenCollapsible(false);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(top, 1);
  layout->addWidget(BuildTabs());

  ConnectFields();
  auto* previous = new QShortcut(QKeySequence(Qt::Key_PageUp), this);
  auto* next = new QShortcut(QKeySequence(Qt::Key_PageDown), this);
  connect(previous, &QShortcut::activated, this, [this] { StepPicture(false); });
  connect(next, &QShortcut::activated, this, [this] { StepPicture(true); });

  // Ratings from the keyboard while typing the texts: Ctrl+digit quality, Alt+digit originality.
  for (int level = 1; level <= 6; ++level) {
    const auto key = static_cast<Qt::Key>(Qt::Key_0 + level);
    auto* quality = new QShortcut(QKeySequence(Qt::CTRL | key), this);
    auto* originality = new QShortcut(QKeySequence(Qt::ALT | key), this);
    connect(quality, &QShortcut::activated, this, [this, level] { quality_->button(level)->click(); });
    connect(originality, &QShortcut::activated, this, [this, level] { originality_->button(level)->click(); });
  }

  // Fits the screen it opens on, down to 1366 x 768 with a panel.
  QSize size(1040, 720);
  if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
    size = size.boundedTo(screen->availableGeometry().size() - QSize(16, 48));
  resize(size);
  ShowState();
  title_->setFocus();
}

QWidget* DescriptionWindow::BuildNavigation() {
  auto* panel = new QWidget(this);
  chooser_ = new DirChooserWidget(editor_.chooser(), "Drive1", "Dir1", panel);
  auto* up = new QPushButton(style()->standardIcon(QStyle::SP_FileDialogToParent), "&Up", panel);
  up->setObjectName("CommandUpDir");
  up->setToolTip("Go one directory up");
  auto* previous = new QPushButton(style()->standardIcon(QStyle::SP_ArrowLeft), "&Previous", panel);
  previous->setObjectName("CommandPrevDir");
  previous->setToolTip("Go to previous directory on same level");
  auto* next = new QPushButton(style()->standardIcon(QStyle::SP_ArrowRight), "Ne&xt", panel);
  next->setObjectName("CommandNextDir");
  next->setToolTip("Go to next directory on same level");
  connect(up, &QPushButton::clicked, this, [this] { Run([this] { editor_.UpDir(); }); });
  connect(previous, &QPushButton::clicked, this, [this] { Run([this] { editor_.SkipImageDir(-1); }); });
  connect(next, &QPushButton::clicked, this, [this] { Run([this] { editor_.SkipImageDir(+1); }); });
  connect(chooser_, &DirChooserWidget::directoryChanged, this, [this] { Run([this] { editor_.DirectoryChanged(); }); });

  dir_title_ = new QLabel(panel);
  dir_title_->setObjectName("LabelDirTitle");
  dir_title_->setWordWrap(true);
  dir_title_->setToolTip("Title of the current directory");
  QFont bold = dir_title_->font();
  bold.setBold(true);
  dir_title_->setFont(bold);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(up);
  buttons->addWidget(previous);
  buttons->addWidget(next);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(chooser_, 1);
  layout->addLayout(buttons);
  layout->addWidget(dir_title_);
  panel->setMinimumWidth(300);
  return panel;
}

QWidget* DescriptionWindow::BuildPictureArea() {
  auto* panel = new QWidget(this);
  auto* previous = new QToolButton(panel);
  previous->setObjectName("CommandScrollDown");
  previous->setIcon(style()->standardIcon(QStyle::SP_MediaSeekBackward));
  previous->setToolTip("Go to previous image in same directory (Page Up)");
  auto* next = new QToolButton(panel);
  next->setObjectName("CommandScrollUp");
  next->setIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));
  next->setToolTip("Go to next image in same directory (Page Down)");
  combo_ = new QComboBox(panel);
  combo_->setObjectName("Combo1");
  combo_->setToolTip("Pictures of the current directory");
  combo_->setMinimumContentsLength(24);
  combo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  position_ = new QLabel(panel);
  position_->setObjectName("Label1");
  position_->setToolTip("Position of the picture; click to read the directory again");
  position_->setMinimumWidth(position_->fontMetrics().horizontalAdvance("8888/8888") + 8);
  position_->setCursor(Qt::PointingHandCursor);
  position_->installEventFilter(this);
  thumbnails_ = new QToolButton(panel);
  thumbnails_->setObjectName("ImageShowThumbnails");
  thumbnails_->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
  thumbnails_->setToolTip("Show the thumbnail page of the generated album");
  connect(previous, &QToolButton::clicked, this, [this] { StepPicture(false); });
  connect(next, &QToolButton::clicked, this, [this] { StepPicture(true); });
  connect(combo_, &QComboBox::activated, this,
          [this](int index) { Run([this, index] { editor_.SelectPicture(index + 1); }); });
  connect(thumbnails_, &QToolButton::clicked, this, [this] { Run([this] { editor_.ShowThumbnails(); }); });

  image_ = new QLabel(panel);
  image_->setObjectName("Image1");
  image_->setAlignment(Qt::AlignCenter);
  image_->setMinimumSize(360, 240);
  image_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  image_->setFrameShape(QFrame::StyledPanel);
  image_->setToolTip("Click to open the picture in the image viewer");
  image_->installEventFilter(this);
  picture_caption_ = new QLabel(panel);
  picture_caption_->setObjectName("LabelPicCaption");
  picture_caption_->setWordWrap(true);
  picture_caption_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

  setTabOrder(previous, combo_);
  setTabOrder(combo_, next);
  auto* row = new QHBoxLayout;
  row->addWidget(previous);
  row->addWidget(combo_, 1);
  row->addWidget(next);
  row->addWidget(position_);
  row->addWidget(thumbnails_);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(row);
  layout->addWidget(image_, 1);
  layout->addWidget(picture_caption_);
  return panel;
}

QPushButton* DescriptionWindow::AddOkButton(const char* name) {
  auto* ok = new QPushButton("OK");
  ok->setObjectName(name);
  ok->setToolTip("Save and close");
  ok->setAutoDefault(false);
  connect(ok, &QPushButton::clicked, this, [this] { Finish(); });
  return ok;
}

QTabWidget* DescriptionWindow::BuildTabs() {
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("TabStrip1");
  tabs_->addTab(BuildInfoTab(), "&Info");
  tabs_->setTabToolTip(0, "Basic Information about the current picture");
  tabs_->addTab(BuildExtendedTab(), "Exte&nded Info");
  tabs_->setTabToolTip(1, "Extended Information about the current picture");
  tabs_->addTab(BuildDirectoryTab(), "Director&y Info");
  tabs_->setTabToolTip(2, "Information about the current directory");
  return tabs_;
}

QWidget* DescriptionWindow::BuildInfoTab() {
  auto* page = new QWidget;
  page->setObjectName("FrameTab1");
  title_ = MakeTextField("TextTab1Title", "Enter a (short) Title for the current Picture", 2, page);
  description_ = MakeTextField("TextTab1Description", "Enter a Description for the current Picture", 5, page);
  keys_ = MakeTextField("TextTab1Keys", "Enter Keywords which describe the current Picture", 2, page);
  take_date_ = new QCheckBox("Take date from &filename if format is YYMMDD_HHMMSS", page);
  take_date_->setObjectName("CheckTakeDateFromFilename");
  exif_label_ = new QLabel("&Exif Data", page);
  exif_label_->setObjectName("LabelExif");
  exif_label_->setToolTip("This field shows information coming from a Digital Camera");
  exif_ = new QPlainTextEdit(page);
  exif_->setObjectName("TextTab1ExifData");
  exif_->setReadOnly(true);
  exif_->setTabChangesFocus(true);
  exif_->setLineWrapMode(QPlainTextEdit::NoWrap);
  exif_->setToolTip(exif_label_->toolTip());
  exif_->setMinimumWidth(300);
  // As tall as the three text fields beside it.
  exif_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
  exif_label_->setBuddy(exif_);

  auto* grid = new QGridLayout(page);
  auto label = [&](const QString& text, QWidget* buddy, int row) {
    auto* caption = new QLabel(text, page);
    caption->setBuddy(buddy);
    grid->addWidget(caption, row, 0, Qt::AlignTop);
  };
  label("&Title", title_, 0);
  grid->addWidget(title_, 0, 1);
  label("&Description", description_, 1);
  grid->addWidget(description_, 1, 1);
  label("&Keys", keys_, 2);
  grid->addWidget(keys_, 2, 1);
  grid->addWidget(take_date_, 3, 1);
  grid->addWidget(exif_label_, 0, 2, Qt::AlignTop);
  grid->addWidget(exif_, 0, 3, 3, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(AddOkButton("CommandTab1OK"));
  grid->addLayout(buttons, 3, 3);
  grid->setColumnStretch(1, 3);
  grid->setColumnStretch(3, 2);
  return page;
}

QWidget* DescriptionWindow::BuildExtendedTab() {
  auto* page = new QWidget;
  page->setObjectName("FrameTab2");

  auto* ratings = new QGroupBox("Ratings", page);
  auto* ratings_grid = new QGridLayout(ratings);
  quality_ = new QButtonGroup(this);
  originality_ = new QButtonGroup(this);
  auto add_row = [&](QButtonGroup* group, const char* prefix, const QString& caption, const QString& tip, int row) {
    auto* label = new QLabel(caption, ratings);
    label->setToolTip(tip);
    ratings_grid->addWidget(label, row, 0);
    // The access key moves to the row; the arrow keys then pick the rating.
    for (int level = 1; level <= 6; ++level) {
      auto* option = new QRadioButton(QString::number(level), ratings);
      option->setObjectName(QString(prefix) + QString::number(level));
      option->setToolTip(tip + ": " + QString::number(level) + " of 6" +
                         (level == 1 ? " (best)" : level == 6 ? " (worst)" : ""));
      group->addButton(option, level);
      ratings_grid->addWidget(option, row, level);
      if (level == 1) label->setBuddy(option);
    }
  };
  add_row(quality_, "OptionQ", "&Qual.", "Quality of the picture (Ctrl+1 ... Ctrl+6)", 0);
  add_row(originality_, "OptionO", "&Orig.", "Originality of the picture (Alt+1 ... Alt+6)", 1);
  auto* scale = new QLabel(kRatingScaleText, ratings);
  scale->setObjectName("LabelRatingScale");
  ratings_grid->addWidget(scale, 2, 0, 1, 7);

  auto* rotate = new QGroupBox("Rotate", page);
  auto* rotate_layout = new QGridLayout(rotate);
  rotation_ = new QButtonGroup(this);
  const char* names[] = {"OptionRP90", "OptionRM90", "OptionR180"};
  const char* captions[] = {"+90", "-90", "180"};
  const char* tips[] = {"Turn clockwise by 90 degrees", "Turn counter-clockwise by 90 degrees",
                        "Turn by 180 degrees"};
  for (int i = 0; i < 3; ++i) {
    auto* option = new QRadioButton(captions[i], rotate);
    option->setObjectName(names[i]);
    option->setToolTip(tips[i]);
    rotation_->addButton(option, i + 1);
    rotate_layout->addWidget(option, 0, i);
  }
  lossless_ = new QCheckBox("Rotate Lossless at Original &Location", rotate);
  lossless_->setObjectName("CheckRotateLosless");
  lossless_->setToolTip("Turn JPEG pictures on disk without loss when leaving them; the original stays as .jpeg");
  rotate_layout->addWidget(lossless_, 1, 0, 1, 3);

  auto* link_box = new QGroupBox("Additional Link", page);
  link_ = new QLineEdit(link_box);
  link_->setObjectName("TextTab2AddLink");
  link_->setToolTip("A file or address the picture's page links to");
  auto* choose = new QPushButton("C&hoose File", link_box);
  choose->setObjectName("CommandTab2ChooseFile");
  choose->setAutoDefault(false);
  auto* launch = new QPushButton("L&aunch", link_box);
  launch->setObjectName("CommandTab2Launch");
  launch->setAutoDefault(false);
  auto* link_layout = new QHBoxLayout(link_box);
  link_layout->addWidget(link_, 1);
  link_layout->addWidget(choose);
  link_layout->addWidget(launch);
  connect(choose, &QPushButton::clicked, this, [this] { ChooseLinkFile(); });
  connect(launch, &QPushButton::clicked, this, [this] { Run([this] { editor_.LaunchLink(); }); });

  auto* reset = new QPushButton("&Reset Values", page);
  reset->setObjectName("CommandTab2ResetValues");
  reset->setToolTip("Clear ratings, rotation and link");
  reset->setAutoDefault(false);
  connect(reset, &QPushButton::clicked, this, [this] { Run([this] { editor_.ResetExtendedValues(); }); });

  auto* grid = new QGridLayout(page);
  grid->addWidget(ratings, 0, 0);
  grid->addWidget(rotate, 0, 1);
  grid->addWidget(link_box, 1, 0, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(reset);
  buttons->addWidget(AddOkButton("CommandTab2OK"));
  grid->addLayout(buttons, 2, 0, 1, 2);
  grid->setRowStretch(3, 1);
  return page;
}

QWidget* DescriptionWindow::BuildDirectoryTab() {
  auto* page = new QWidget;
  page->setObjectName("FrameTab3");
  dir_title_edit_ = MakeTextField("TextTab3Title", "Enter here a (short) Title of the current Chapter", 2, page);
  dir_description_ =
      MakeTextField("TextTab3Description", "Enter here the description of the current Chapter", 5, page);

  auto* picture = new QGroupBox("Picture", page);
  index_picture_ = new QLabel(picture);
  index_picture_->setObjectName("LabelTab3PictureName");
  index_picture_->setWordWrap(true);
  index_picture_->setMinimumWidth(220);
  auto* set = new QPushButton("&Set", picture);
  set->setObjectName("CommandTab3PictureSet");
  set->setToolTip("Set here the main chapter picture");
  auto* view = new QPushButton("&View", picture);
  view->setObjectName("CommandTab3PictureView");
  view->setToolTip("Open the chapter picture in the image viewer");
  auto* clear = new QPushButton("C&lear", picture);
  clear->setObjectName("CommandTab3PictureClear");
  clear->setToolTip("Remove the chapter picture");
  for (QPushButton* button : {set, view, clear}) button->setAutoDefault(false);
  connect(set, &QPushButton::clicked, this, [this] { ChooseIndexPicture(); });
  connect(view, &QPushButton::clicked, this, [this] { Run([this] { editor_.ViewIndexPicture(); }); });
  connect(clear, &QPushButton::clicked, this, [this] { Run([this] { editor_.ClearIndexPicture(); }); });
  auto* picture_layout = new QVBoxLayout(picture);
  picture_layout->addWidget(index_picture_);
  auto* picture_buttons = new QHBoxLayout;
  picture_buttons->addWidget(set);
  picture_buttons->addWidget(view);
  picture_buttons->addWidget(clear);
  picture_layout->addLayout(picture_buttons);
  picture_layout->addStretch();

  auto* grid = new QGridLayout(page);
  auto* title_label = new QLabel("&Title", page);
  title_label->setBuddy(dir_title_edit_);
  auto* description_label = new QLabel("&Description", page);
  description_label->setBuddy(dir_description_);
  grid->addWidget(title_label, 0, 0, Qt::AlignTop);
  grid->addWidget(dir_title_edit_, 0, 1);
  grid->addWidget(description_label, 1, 0, Qt::AlignTop);
  grid->addWidget(dir_description_, 1, 1);
  grid->addWidget(picture, 0, 2, 2, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(AddOkButton("CommandTab3OK"));
  grid->addLayout(buttons, 2, 2);
  grid->setColumnStretch(1, 1);
  return page;
}

void DescriptionWindow::ConnectFields() {
  auto text_of = [](QPlainTextEdit* field) { return ToBytes(field->toPlainText()); };
  connect(title_, &QPlainTextEdit::textChanged, this, [this, text_of] {
    if (showing_) return;
    editor_.picture_form().title = text_of(title_);
    ShowCaptions();
  });
  connect(description_, &QPlainTextEdit::textChanged, this, [this, text_of] {
    if (showing_) return;
    editor_.picture_form().description = text_of(description_);
    ShowCaptions();
  });
  connect(keys_, &QPlainTextEdit::textChanged, this, [this, text_of] {
    if (!showing_) editor_.picture_form().keys = text_of(keys_);
  });
  connect(take_date_, &QCheckBox::toggled, this, [this](bool checked) {
    if (!showing_) editor_.picture_form().take_date_from_filename = checked;
  });
  auto choice = [this](QButtonGroup* group, std::string PictureForm::*field, const std::vector<std::string>& values) {
    connect(group, &QButtonGroup::idToggled, this, [this, field, &values](int id, bool checked) {
      if (!showing_ && checked) editor_.picture_form().*field = values[static_cast<size_t>(id - 1)];
    });
  };
  choice(quality_, &PictureForm::quality, kRatings);
  choice(originality_, &PictureForm::originality, kRatings);
  choice(rotation_, &PictureForm::rotation, kRotations);
  connect(lossless_, &QCheckBox::toggled, this, [this](bool checked) {
    if (!showing_) editor_.lossless() = checked;
  });
  connect(link_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (!showing_) editor_.picture_form().add_link = ToBytes(text);
  });
  connect(dir_title_edit_, &QPlainTextEdit::textChanged, this, [this, text_of] {
    if (showing_) return;
    editor_.dir_form().title = text_of(dir_title_edit_);
    ShowCaptions();
  });
  connect(dir_description_, &QPlainTextEdit::textChanged, this, [this, text_of] {
    if (!showing_) editor_.dir_form().description = text_of(dir_description_);
  });
}

void DescriptionWindow::Run(const std::function<void()>& action) {
  if (showing_) return;
  action();
  ShowState();
}

void DescriptionWindow::ShowState() {
  showing_ = true;
  chooser_->Sync();
  if (shown_generation_ != editor_.list_generation()) {
    shown_generation_ = editor_.list_generation();
    combo_->clear();
    for (int position = 1; position <= static_cast<int>(editor_.pictures().size()); ++position)
      combo_->addItem(ToQString(editor_.PictureEntry(position)));
  }
  combo_->setCurrentIndex(editor_.HasPicture() ? editor_.current() - 1 : -1);
  position_->setText(ToQString(editor_.PositionText()));

  const PictureForm& form = editor_.picture_form();
  title_->setPlainText(ToField(form.title));
  description_->setPlainText(ToField(form.description));
  keys_->setPlainText(ToField(form.keys));
  take_date_->setChecked(form.take_date_from_filename);
  exif_->setPlainText(ToField(editor_.exif_text()));
  exif_label_->setVisible(editor_.ExifVisible());
  exif_->setVisible(editor_.ExifVisible());
  take_date_->setVisible(editor_.TakeDateVisible());
  SetChoice(quality_, form.quality, kRatings);
  SetChoice(originality_, form.originality, kRatings);
  SetChoice(rotation_, form.rotation, kRotations);
  lossless_->setChecked(editor_.lossless());
  link_->setText(ToQString(form.add_link));
  dir_title_edit_->setPlainText(ToField(editor_.dir_form().title));
  dir_description_->setPlainText(ToField(editor_.dir_form().description));
  index_picture_->setText(ToQString(editor_.IndexPictureText()));
  thumbnails_->setVisible(editor_.ThumbnailsVisible());
  ShowCaptions();
  showing_ = false;
  ShowPicture();
}

void DescriptionWindow::ShowCaptions() {
  picture_caption_->setText(ToField(editor_.PictureCaption()));
  dir_title_->setText(ToField(editor_.dir_form().title));
}

void DescriptionWindow::StepPicture(bool forward) {
  Run([this, forward] {
    if (!(forward ? editor_.NextPicture() : editor_.PreviousPicture())) QApplication::beep();
  });
}

void DescriptionWindow::ShowPicture() {
  const QString path = ToQString(editor_.display_path());
  // Drawn in device pixels, so a hi-DPI screen shows the picture sharp.
  const qreal ratio = image_->devicePixelRatioF();
  const QSize box = image_->contentsRect().size() * ratio;
  const QString key = path.isEmpty() ? QString() : path + "|" + QFileInfo(path).lastModified().toString(Qt::ISODateWithMs);
  if (key == shown_picture_ && box == shown_size_) return;
  shown_picture_ = key;
  shown_size_ = box;
  image_->clear();
  image_->setCursor(path.isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
  if (path.isEmpty()) return;
  // Turned as the album turns the picture: by its EXIF orientation only when
  // the album follows it.
  QImageReader reader(path);
  reader.setAutoTransform(editor_.display_upright());
  const QSize size = reader.size();
  if (size.isValid() && !box.isEmpty()) {
    // The reader scales the stored pixels and turns them afterwards: fit the
    // upright shape into the box, and scale the stored one to match.
    const bool sideways =
        reader.autoTransform() && reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize upright = sideways ? size.transposed() : size;
    const QSize fitted = upright.scaled(box, Qt::KeepAspectRatio);
    if (fitted.width() < upright.width()) reader.setScaledSize(sideways ? fitted.transposed() : fitted);
  }
  const QImage picture = reader.read();
  if (picture.isNull()) return;  // a picture the display cannot load shows nothing
  QPixmap pixmap = QPixmap::fromImage(picture);
  pixmap.setDevicePixelRatio(ratio);
  image_->setPixmap(pixmap);
}

bool DescriptionWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == image_) {
      Run([this] { editor_.PictureClicked(); });
      return true;
    }
    if (watched == position_) {
      Run([this] { editor_.Refresh(); });
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void DescriptionWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  // After the layout has given the picture its new size.
  QTimer::singleShot(0, this, [this] { ShowPicture(); });
}

void DescriptionWindow::Finish() {
  if (editor_.Confirm()) accept();
}

void DescriptionWindow::reject() {
  // Leaving the window saves like its OK buttons.
  editor_.Confirm();
  QDialog::accept();
}

void DescriptionWindow::ChooseIndexPicture() {
  const QString directory = ToQString(editor_.current_dir());
  const QString path = QFileDialog::getOpenFileName(
      this, "Select Index Picture For Directory \"" + directory + "\"", directory, "All Files (*)");
  if (path.isEmpty()) return;
  Run([this, path] { editor_.SetIndexPicture(ToBytes(path)); });
}

void DescriptionWindow::ChooseLinkFile() {
  const QString path =
      QFileDialog::getOpenFileName(this, "Select File", ToQString(editor_.current_dir()), "All Files (*)");
  if (path.isEmpty()) return;
  Run([this, path] { editor_.ChooseLinkFile(ToBytes(path)); });
}

}  // namespace snapcrate
