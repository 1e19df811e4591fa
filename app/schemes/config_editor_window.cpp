#include "app/schemes/config_editor_window.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "app/schemes/scheme_chooser_window.h"

namespace snapcrate {
namespace {

constexpr QSize kPreviewSize(160, 100);

struct SizeSpec {
  SizeCombo combo;
  const char* name;
  const char* tip;
};
constexpr SizeSpec kSizes[] = {
    {SizeCombo::kImageWidth, "ComboImageWidth",
     "Width of the scaled pictures, or ORIGLINK / ORIGSIZE"},
    {SizeCombo::kImageHeight, "ComboImageHeight",
     "Height of the scaled pictures, or ORIGLINK / ORIGSIZE"},
    {SizeCombo::kThumbnailWidth, "ComboThumbnailWidth", "Width of the thumbnails"},
    {SizeCombo::kThumbnailHeight, "ComboThumbnailHeight", "Height of the thumbnails"},
};

struct CountSpec {
  CountBar bar;
  const char* caption;
  const char* text_name;
  const char* bar_name;
};
constexpr CountSpec kCounts[] = {
    {CountBar::kLinksPerRow, "Max # Chapter &Links per Row", "TextLinksPerRow",
     "VScrollLinksPerRow"},
    {CountBar::kThumbnailsPerRow, "Max # T&humbnails per Row", "TextThumbnailsPerRow",
     "VScrollThumbnailsPerRow"},
    {CountBar::kRowsPerPage, "Max # Thumbnail Rows per &Page (0 = unlimited)",
     "TextThumbnailRowsPerPage", "VScrollThumbnailRowsPerPage"},
    {CountBar::kQuality, "Image &Quality (100 = Highest)", "TextImageQuality",
     "VScrollImageQuality"},
};

size_t Slot(SizeCombo combo) { return static_cast<size_t>(combo); }
size_t Slot(CountBar bar) { return static_cast<size_t>(bar); }

QPushButton* Button(const QString& caption, const char* name, const QString& tip, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setToolTip(tip);
  return button;
}

QLabel* Preview(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setFixedSize(kPreviewSize);
  label->setFrameShape(QFrame::StyledPanel);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

// The scheme's preview picture; empty when there is none or it cannot be loaded.
void ShowPreview(QLabel* label, const std::string& path) {
  const QPixmap picture = path.empty() ? QPixmap() : QPixmap(ToQString(path));
  if (picture.isNull()) {
    label->clear();
    return;
  }
  label->setPixmap(
      picture.scaled(label->contentsRect().size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void SetTextKeepingCursor(QLineEdit* field, const std::string& text) {
  const QString wanted = ToQString(text);
  if (field->text() == wanted) return;
  field->setText(wanted);
  field->setCursorPosition(0);  // long texts show their beginning
}

}  // namespace

ConfigEditorWindow::ConfigEditorWindow(AlbumConfig& buffer, QWidget* parent)
    : QDialog(parent),
      editor_(buffer, [this](int preselected) { return ChooseScheme(preselected); }) {
  setObjectName("SC_EditAlbumConfig");
  setWindowTitle(ToQString(kConfigEditorTitle));
  setSizeGripEnabled(true);

  auto* ok = Button("OK", "CommandOK", "Keep the changes", this);
  ok->setDefault(true);
  auto* cancel = Button("Cancel", "CommandCancel", "Forget the changes", this);
  connect(ok, &QPushButton::clicked, this, &ConfigEditorWindow::Accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);

  auto* left = new QVBoxLayout;
  left->addWidget(BuildHead());
  left->addWidget(BuildList(), 1);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 1);
  columns->addWidget(BuildEntry());
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addLayout(buttons);
  ShowState();
}

QWidget* ConfigEditorWindow::BuildHead() {
  auto* head = new QWidget(this);
  auto* layout = new QVBoxLayout(head);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* form = new QFormLayout;
  name_ = new QLineEdit(head);
  name_->setObjectName("TextName");
  name_->setToolTip("The name the Generate HTML window lists");
  description_ = new QLineEdit(head);
  description_->setObjectName("TextDesc");
  description_->setMinimumWidth(260);
  form->addRow("&Name", name_);
  form->addRow("&Description", description_);
  connect(name_, &QLineEdit::textEdited, this,
          [this](const QString& text) { editor_.SetNameText(ToBytes(text)); });
  connect(description_, &QLineEdit::textEdited, this,
          [this](const QString& text) { editor_.SetDescriptionText(ToBytes(text)); });
  layout->addLayout(form);

  auto* frame = new QGroupBox("Select Main Index Scheme", head);
  auto* frame_layout = new QHBoxLayout(frame);
  main_scheme_ = new QLineEdit(frame);
  main_scheme_->setObjectName("TextMainSchemeName");
  main_scheme_->setReadOnly(true);
  main_scheme_->setToolTip("The scheme that draws the album's main index page");
  auto* change =
      Button("&Change", "CommandChange", "Choose the scheme of the main index page", frame);
  connect(change, &QPushButton::clicked, this, [this, change] {
    chooser_anchor_ = change;
    Run([this] { editor_.ChangeMainScheme(); });
  });
  auto* column = new QVBoxLayout;
  column->addWidget(main_scheme_);
  column->addWidget(change, 0, Qt::AlignLeft);
  column->addStretch();
  main_preview_ = Preview("ImageMainSchemePreview", frame);
  frame_layout->addLayout(column, 1);
  frame_layout->addWidget(main_preview_);
  layout->addWidget(frame);
  return head;
}

QWidget* ConfigEditorWindow::BuildList() {
  auto* frame = new QGroupBox("Scaled Album Scheme List", this);
  list_ = new QListWidget(frame);
  list_->setObjectName("ListScaledAlbumSchemes");
  list_->setToolTip("Each line is one variant of the album: its scheme and picture size");
  list_->setMinimumHeight(list_->fontMetrics().height() * 6);
  list_->setMinimumWidth(list_->fontMetrics().horizontalAdvance("Dark Gallery: 1600 x 1200  (thumbnails 240 x 240)") +
                         2 * list_->frameWidth() + 12);
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (updating_) return;
    Run([this, row] { editor_.ListClicked(row); });
  });
  auto* add = Button("Ne&w", "CommandNew", "Add a scaled album for a scheme you choose", frame);
  delete_ = Button("Dele&te", "CommandDelete", "Remove the selected scaled album", frame);
  up_ = Button("&Up", "CommandListUp", "Move the selected scaled album up", frame);
  down_ = Button("D&own", "CommandListDown", "Move the selected scaled album down", frame);
  connect(add, &QPushButton::clicked, this, [this, add] {
    chooser_anchor_ = add;
    Run([this] { editor_.New(); });
  });
  connect(delete_, &QPushButton::clicked, this, [this] { Run([this] { editor_.Delete(); }); });
  connect(up_, &QPushButton::clicked, this, [this] { Run([this] { editor_.MoveUp(); }); });
  connect(down_, &QPushButton::clicked, this, [this] { Run([this] { editor_.MoveDown(); }); });
  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {add, delete_, up_, down_}) buttons->addWidget(button);
  buttons->addStretch();
  auto* layout = new QHBoxLayout(frame);
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);
  return frame;
}

QWidget* ConfigEditorWindow::BuildEntry() {
  entry_ = new QGroupBox("Selected Scaled Album Scheme", this);
  auto* layout = new QVBoxLayout(entry_);
  entry_preview_ = Preview("ImageCurAlbumSchemePreview", entry_);
  entry_preview_->setToolTip("The scheme of the selected scaled album");
  entry_preview_->installEventFilter(this);
  layout->addWidget(entry_preview_, 0, Qt::AlignHCenter);

  auto size_pair = [&](const QString& caption, SizeCombo first, SizeCombo second) {
    auto* frame = new QGroupBox(caption, entry_);
    auto* row = new QHBoxLayout(frame);
    for (SizeCombo combo : {first, second}) {
      const SizeSpec& entry = kSizes[Slot(combo)];
      auto* box = new QComboBox(frame);
      box->setObjectName(entry.name);
      box->setToolTip(entry.tip);
      box->setEditable(true);
      box->setInsertPolicy(QComboBox::NoInsert);
      for (const std::string& item : SizeComboItems(combo)) box->addItem(ToQString(item));
      box->setMinimumContentsLength(8);
      sizes_[Slot(combo)] = box;
      connect(box, &QComboBox::editTextChanged, this, [this, combo](const QString& text) {
        if (updating_) return;
        editor_.SizeTextChanged(combo, ToBytes(text));
        ShowSizes();
      });
      row->addWidget(box, 1);
      if (combo == first) row->addWidget(new QLabel("x", frame));
    }
    layout->addWidget(frame);
  };
  size_pair("Scaled Image Pixel", SizeCombo::kImageWidth, SizeCombo::kImageHeight);
  size_pair("Thumbnail Pixel", SizeCombo::kThumbnailWidth, SizeCombo::kThumbnailHeight);

  auto* grid = new QGridLayout;
  int row = 0;
  for (const CountSpec& entry : kCounts) {
    const CountBar bar_id = entry.bar;
    const CountBarRange range = BarRange(bar_id);
    auto* caption = new QLabel(entry.caption, entry_);
    auto* text = new QLineEdit(entry_);
    text->setObjectName(entry.text_name);
    text->setAlignment(Qt::AlignRight);
    text->setMaxLength(4);
    text->setFixedWidth(text->fontMetrics().horizontalAdvance("0000") + 16);
    const QString tip = QString("%1 to %2").arg(range.min_value).arg(range.max_value);
    text->setToolTip(bar_id == CountBar::kQuality ? "1 Lowest 100 Highest" : tip);
    caption->setBuddy(text);
    auto* bar = new QScrollBar(Qt::Vertical, entry_);
    bar->setObjectName(entry.bar_name);
    bar->setRange(range.min_position, range.max_position);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setFixedHeight(text->sizeHint().height() + 8);
    bar->setToolTip(text->toolTip());
    count_texts_[Slot(bar_id)] = text;
    bars_[Slot(bar_id)] = bar;
    connect(bar, &QScrollBar::valueChanged, this, [this, bar_id](int position) {
      if (updating_) return;
      editor_.BarMoved(bar_id, position);
      ShowCounts();
    });
    connect(text, &QLineEdit::textEdited, this, [this, bar_id](const QString& typed) {
      if (updating_) return;
      editor_.CountTyped(bar_id, ToBytes(typed));
      ShowCounts();
    });
    grid->addWidget(caption, row, 0);
    grid->addWidget(text, row, 1);
    grid->addWidget(bar, row, 2);
    ++row;
  }
  auto* quality_hint = new QLabel("1 Lowest 100 Highest", entry_);
  quality_hint->setEnabled(false);
  grid->addWidget(quality_hint, row, 0, 1, 3, Qt::AlignRight);
  grid->setColumnStretch(0, 1);
  layout->addLayout(grid);
  layout->addStretch();
  return entry_;
}

int ConfigEditorWindow::ChooseScheme(int preselected) {
  QWidget* anchor = chooser_anchor_;
  chooser_anchor_ = nullptr;
  return SchemeChooserWindow::Choose(preselected, anchor ? anchor : this);
}

void ConfigEditorWindow::Run(const std::function<void()>& action) {
  action();
  ShowState();
}

void ConfigEditorWindow::ShowState() {
  updating_ = true;
  SetTextKeepingCursor(name_, editor_.name_text());
  SetTextKeepingCursor(description_, editor_.description_text());
  main_scheme_->setText(ToQString(editor_.MainSchemeName()));
  ShowPreview(main_preview_, editor_.MainSchemePreview());
  const std::vector<std::string> lines = editor_.ListLines();
  list_->clear();
  for (const std::string& line : lines) list_->addItem(ToQString(line));
  list_->setCurrentRow(editor_.current());
  const bool has_entry = editor_.current() >= 0;
  entry_->setEnabled(has_entry);
  delete_->setEnabled(has_entry);
  up_->setEnabled(editor_.current() > 0);
  down_->setEnabled(has_entry && editor_.current() + 1 < static_cast<int>(lines.size()));
  ShowPreview(entry_preview_, editor_.CurrentSchemePreview());
  updating_ = false;
  ShowSizes();
  ShowCounts();
}

void ConfigEditorWindow::ShowSizes() {
  updating_ = true;
  for (const SizeSpec& entry : kSizes) {
    QComboBox* box = sizes_[Slot(entry.combo)];
    const QString wanted = ToQString(editor_.SizeText(entry.combo));
    if (box->currentText() != wanted) box->setEditText(wanted);
  }
  updating_ = false;
}

void ConfigEditorWindow::ShowCounts() {
  updating_ = true;
  for (const CountSpec& entry : kCounts) {
    const int value = editor_.CountValue(entry.bar);
    QLineEdit* text = count_texts_[Slot(entry.bar)];
    // While the user types, a field that already shows the value stays as typed.
    if (text->text().toInt() != value || text->text().isEmpty())
      text->setText(QString::number(value));
    bars_[Slot(entry.bar)]->setValue(editor_.CountPosition(entry.bar));
  }
  updating_ = false;
}

bool ConfigEditorWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == entry_preview_ && event->type() == QEvent::MouseButtonPress &&
      editor_.current() >= 0)
    Run([this] { editor_.PreviewClicked(); });
  return QDialog::eventFilter(watched, event);
}

void ConfigEditorWindow::Accept() {
  editor_.SetNameText(ToBytes(name_->text()));
  editor_.SetDescriptionText(ToBytes(description_->text()));
  const bool accepted = editor_.Confirm();
  ShowState();
  if (accepted) accept();
}

bool ConfigEditorWindow::Edit(AlbumConfig& buffer, QWidget* parent) {
  ConfigEditorWindow window(buffer, parent);
  window.exec();
  return window.editor().result() == "OK";
}

}  // namespace snapcrate
