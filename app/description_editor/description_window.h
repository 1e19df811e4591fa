#pragma once
// "Snapcrate - Add Image Descriptions": a thin view over DescriptionEditor.

#include <QDialog>
#include <QImage>
#include <array>

#include "app/description_editor/description_editor.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace snapcrate {

class DirChooserWidget;

class DescriptionWindow : public QDialog {
  Q_OBJECT
 public:
  explicit DescriptionWindow(QWidget* parent = nullptr,
                             DescriptionEditorServices services = DescriptionEditorServices::Default());

  DescriptionEditor& editor() { return editor_; }
  /// The window as the logic left it: lists, fields, labels and the picture.
  void ShowState();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void reject() override;

 private:
  QWidget* BuildNavigation();
  QWidget* BuildPictureArea();
  QTabWidget* BuildTabs();
  QWidget* BuildInfoTab();
  QWidget* BuildExtendedTab();
  QWidget* BuildDirectoryTab();
  QPushButton* AddOkButton(const char* name);
  void ConnectFields();
  void Run(const std::function<void()>& action);
  /// The next or previous picture; a beep at either end.
  void StepPicture(bool forward);
  void ShowPicture();
  void ShowCaptions();
  void Finish();
  void ChooseIndexPicture();
  void ChooseLinkFile();

  DescriptionEditor editor_;
  bool showing_ = false;  // the widgets are being filled from the logic
  int shown_generation_ = -1;
  QString shown_picture_;
  QSize shown_size_;

  DirChooserWidget* chooser_ = nullptr;
  QComboBox* combo_ = nullptr;
  QLabel* position_ = nullptr;
  QLabel* image_ = nullptr;
  QLabel* picture_caption_ = nullptr;
  QLabel* dir_title_ = nullptr;
  QToolButton* thumbnails_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QPlainTextEdit* title_ = nullptr;
  QPlainTextEdit* description_ = nullptr;
  QPlainTextEdit* keys_ = nullptr;
  QLabel* exif_label_ = nullptr;
  QPlainTextEdit* exif_ = nullptr;
  QCheckBox* take_date_ = nullptr;
  QButtonGroup* quality_ = nullptr;
  QButtonGroup* originality_ = nullptr;
  QButtonGroup* rotation_ = nullptr;
  QCheckBox* lossless_ = nullptr;
  QLineEdit* link_ = nullptr;
  QPlainTextEdit* dir_title_edit_ = nullptr;
  QPlainTextEdit* dir_description_ = nullptr;
  QLabel* index_picture_ = nullptr;
};

}  // namespace snapcrate
