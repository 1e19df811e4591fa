#include "app/schemes/config_editor_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "app/init.h"
#include "app/schemes/scheme_record.h"
#include "tests/support/access_keys.h"
#include "tests/support/qt_modal.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using testing::OnNextModal;
template <typename Widget>
Widget* Find(QWidget* window, const char* name) {
  auto* widget = window->findChild<Widget*>(name);
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

class ConfigEditorWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy(std::filesystem::path(SNAPCRATE_SOURCE_DIR) / "etc", home_.path() + "etc",
                          std::filesystem::copy_options::recursive);
    std::filesystem::remove(home_ / "etc/snapcrate.ini");
    Init({.home_override = home_.path()});
    for (const AlbumConfig& config : Configs())
      if (config.name == "Two sizes") buffer_ = config;
    ASSERT_EQ(buffer_.scaled.size(), 2u);
  }

  testing::RecordingUiPort ui_;
  testing::TempDir home_;
  AlbumConfig buffer_;
};

TEST_F(ConfigEditorWindowTest, ControlsCarryTheirNamesAndShowTheFirstEntry) {
  ConfigEditorWindow window(buffer_);
  window.show();
  EXPECT_EQ(window.windowTitle(), "Edit Album Configuration");
  EXPECT_EQ(window.objectName(), "SC_EditAlbumConfig");
  EXPECT_EQ(testing::MissingAccessKeys(&window), "");
  for (const char* name : {"TextName", "TextDesc", "TextMainSchemeName", "TextLinksPerRow",
                           "TextThumbnailsPerRow", "TextThumbnailRowsPerPage", "TextImageQuality"})
    Find<QLineEdit>(&window, name);
  for (const char* name : {"CommandChange", "CommandNew", "CommandDelete", "CommandListUp",
                           "CommandListDown", "CommandOK", "CommandCancel"})
    Find<QPushButton>(&window, name);
  for (const char* name : {"VScrollLinksPerRow", "VScrollThumbnailsPerRow",
                           "VScrollThumbnailRowsPerPage", "VScrollImageQuality"})
    EXPECT_EQ(Find<QScrollBar>(&window, name)->orientation(), Qt::Vertical) << name;
  EXPECT_EQ(Find<QLineEdit>(&window, "TextName")->text(), "Two sizes");
  EXPECT_EQ(Find<QLineEdit>(&window, "TextMainSchemeName")->text(), "Standard");
  EXPECT_EQ(Find<QListWidget>(&window, "ListScaledAlbumSchemes")->count(), 2);
  EXPECT_EQ(Find<QListWidget>(&window, "ListScaledAlbumSchemes")->currentRow(), 0);
  EXPECT_EQ(Find<QComboBox>(&window, "ComboImageWidth")->currentText(), "800");
  EXPECT_EQ(Find<QComboBox>(&window, "ComboThumbnailHeight")->count(), 4);
  EXPECT_EQ(Find<QLineEdit>(&window, "TextImageQuality")->text(), "82");
  EXPECT_EQ(Find<QScrollBar>(&window, "VScrollImageQuality")->value(), 19);
  // The delivered schemes come with preview pictures.
  EXPECT_FALSE(Find<QLabel>(&window, "ImageMainSchemePreview")->pixmap().isNull());
  EXPECT_FALSE(Find<QLabel>(&window, "ImageCurAlbumSchemePreview")->pixmap().isNull());
  EXPECT_FALSE(Find<QPushButton>(&window, "CommandListUp")->isEnabled());
  EXPECT_TRUE(Find<QPushButton>(&window, "CommandListDown")->isEnabled());
}

TEST_F(ConfigEditorWindowTest, TypingTwentyIntoASizeStoresThirtyTwo) {
  ConfigEditorWindow window(buffer_);
  window.show();
  QLineEdit* typed = Find<QComboBox>(&window, "ComboThumbnailWidth")->lineEdit();
  typed->selectAll();
  QTest::keyClicks(typed, "20");
  QComboBox* width = Find<QComboBox>(&window, "ComboImageWidth");
  width->lineEdit()->selectAll();
  QTest::keyClicks(width->lineEdit(), "ORIGLINK");
  EXPECT_EQ(Find<QComboBox>(&window, "ComboImageHeight")->currentText(), "ORIGLINK");
  Find<QPushButton>(&window, "CommandOK")->click();
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.editor().result(), "OK");
  EXPECT_EQ(buffer_.scaled[0].thumbnail_width, 32);
  EXPECT_EQ(buffer_.scaled[0].width, kSizeOrigLink);
  EXPECT_EQ(buffer_.scaled[0].height, kSizeOrigLink);
  EXPECT_TRUE(buffer_.scaled[1].orig_links_available);
}

TEST_F(ConfigEditorWindowTest, BarsCountUpwardsAndTypedCountsAreClamped) {
  ConfigEditorWindow window(buffer_);
  window.show();
  QScrollBar* links = Find<QScrollBar>(&window, "VScrollLinksPerRow");
  QLineEdit* links_text = Find<QLineEdit>(&window, "TextLinksPerRow");
  EXPECT_EQ(links_text->text(), "4");
  links->triggerAction(QAbstractSlider::SliderSingleStepSub);  // the arrow at the top
  EXPECT_EQ(links_text->text(), "5");
  EXPECT_EQ(buffer_.scaled[0].links_per_row, 5);
  links->setValue(links->minimum());
  EXPECT_EQ(links_text->text(), "20");
  links_text->selectAll();
  QTest::keyClicks(links_text, "77");
  EXPECT_EQ(links_text->text(), "20");
  QLineEdit* rows = Find<QLineEdit>(&window, "TextThumbnailRowsPerPage");
  rows->selectAll();
  QTest::keyClicks(rows, "0");
  EXPECT_EQ(Find<QScrollBar>(&window, "VScrollThumbnailRowsPerPage")->value(), 99);
  EXPECT_EQ(buffer_.scaled[0].rows_per_page, 0);
}

TEST_F(ConfigEditorWindowTest, CancelAnswersCancel) {
  const AlbumConfig before = buffer_;
  OnNextModal([](QWidget* modal) {
    Find<QLineEdit>(modal, "TextName")->setText("Renamed");
    Find<QPushButton>(modal, "CommandDelete")->click();
    Find<QPushButton>(modal, "CommandCancel")->click();
  });
  EXPECT_FALSE(ConfigEditorWindow::Edit(buffer_, nullptr));
  EXPECT_EQ(buffer_.name, before.name);
}

TEST_F(ConfigEditorWindowTest, NewOpensTheChooserAndStopsAtTenEntries) {
  ConfigEditorWindow window(buffer_);
  window.show();
  QString chooser_title;
  OnNextModal([&](QWidget* chooser) {
    chooser_title = chooser->windowTitle();
    auto* list = Find<QListWidget>(chooser, "List1");
    EXPECT_EQ(list->count(), static_cast<int>(Schemes().size()));
    EXPECT_EQ(list->currentItem()->text(), "Standard");  // the current entry's scheme
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Return);
  });
  Find<QPushButton>(&window, "CommandNew")->click();
  EXPECT_EQ(chooser_title, "Select Album Scheme");
  auto* list = Find<QListWidget>(&window, "ListScaledAlbumSchemes");
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->currentRow(), 2);
  EXPECT_EQ(Find<QComboBox>(&window, "ComboThumbnailWidth")->currentText(), "140");

  OnNextModal([](QWidget* chooser) { QTest::keyClick(chooser, Qt::Key_Escape); });
  Find<QPushButton>(&window, "CommandNew")->click();
  EXPECT_EQ(list->count(), 3);

  for (int entries = 3; entries < 10; ++entries) {
    OnNextModal([](QWidget* chooser) {
      QTest::keyClick(Find<QListWidget>(chooser, "List1"), Qt::Key_Return);
    });
    Find<QPushButton>(&window, "CommandNew")->click();
  }
  EXPECT_EQ(list->count(), 10);
  EXPECT_TRUE(ui_.messages.empty());
  Find<QPushButton>(&window, "CommandNew")->click();  // no chooser: a message instead
  EXPECT_EQ(list->count(), 10);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{
                              "An album configuration holds at most 10 scaled album schemes."});
  EXPECT_FALSE(Find<QPushButton>(&window, "CommandListDown")->isEnabled());
}

TEST_F(ConfigEditorWindowTest, UpAndDownMoveTheSelectedLine) {
  ConfigEditorWindow window(buffer_);
  window.show();
  auto* list = Find<QListWidget>(&window, "ListScaledAlbumSchemes");
  list->setCurrentRow(1);
  EXPECT_EQ(Find<QComboBox>(&window, "ComboImageWidth")->currentText(), "1600");
  Find<QPushButton>(&window, "CommandListUp")->click();
  EXPECT_EQ(list->currentRow(), 0);
  EXPECT_TRUE(list->item(0)->text().startsWith("Standard: 1600 x 1200"));
  EXPECT_EQ(buffer_.scaled[0].width, 1600);
  EXPECT_FALSE(Find<QPushButton>(&window, "CommandListUp")->isEnabled());
}

}  // namespace
}  // namespace snapcrate
