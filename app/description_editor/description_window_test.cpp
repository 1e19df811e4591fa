#include "app/description_editor/description_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "app/description_editor/description_editor_test_support.h"
#include "app/file_lib.h"
#include "tests/support/access_keys.h"
#include "tests/support/exif_writer/camera_exif.h"
#include "tests/support/recording_ui_port.h"

namespace snapcrate {
namespace {

using testing::EditorHome;
using testing::ReadFile;
using testing::WriteFile;
using testing::WritePlainJpeg;

class DescriptionWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::EditorLibrariesBuilt())
      GTEST_SKIP() << "libpixcore.so, libtagcore.so or libjpegtran.so is not built in " << SNAPCRATE_TEST_HOME;
    ui_.log_lines.clear();  // the new settings file
  }

  /// A shown window on `directory` at `position`.
  std::unique_ptr<DescriptionWindow> Open(const std::string& directory, int position) {
    home_.StartAt(directory, position);
    auto window = std::make_unique<DescriptionWindow>();
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    return window;
  }
  template <typename Widget>
  static Widget* Find(QWidget* window, const char* name) {
    auto* widget = window->findChild<Widget*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  static void Type(QWidget* window, const char* field, const QString& text) {
    auto* edit = Find<QPlainTextEdit>(window, field);
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty()) QTest::keyClick(edit, Qt::Key_Delete);
    else QTest::keyClicks(edit, text);
  }

  testing::RecordingUiPort ui_;
  EditorHome home_;
};

TEST_F(DescriptionWindowTest, TypedTitleIsWrittenWhenMovingOnAndClearedFieldsDeleteTheFile) {
  const std::string dir = home_.Dir("trip");
  WritePlainJpeg(dir + "a.jpg");
  WritePlainJpeg(dir + "b.jpg");
  auto window = Open(dir, 1);
  EXPECT_EQ(window->windowTitle(), "Snapcrate - Add Image Descriptions");
  EXPECT_EQ(Find<QLabel>(window.get(), "Label1")->text(), "1/2");
  EXPECT_EQ(Find<QComboBox>(window.get(), "Combo1")->currentText(), "a.jpg: 1");

  Type(window.get(), "TextTab1Title", "Lake");
  EXPECT_EQ(Find<QLabel>(window.get(), "LabelPicCaption")->text(), "Lake");
  Find<QToolButton>(window.get(), "CommandScrollUp")->click();
  EXPECT_EQ(Find<QLabel>(window.get(), "Label1")->text(), "2/2");
  EXPECT_EQ(ReadFile(dir + "a.dsc").substr(0, 15), "[Title]\r\nLake\r\n");
  EXPECT_EQ(Find<QPlainTextEdit>(window.get(), "TextTab1Title")->toPlainText(), "");

  Find<QToolButton>(window.get(), "CommandScrollDown")->click();
  EXPECT_EQ(Find<QPlainTextEdit>(window.get(), "TextTab1Title")->toPlainText(), "Lake");
  Type(window.get(), "TextTab1Title", "");
  Find<QToolButton>(window.get(), "CommandScrollUp")->click();
  EXPECT_FALSE(FileExists(dir + "a.dsc"));
}

TEST_F(DescriptionWindowTest, PageKeysMoveBetweenPicturesFromTheTextFields) {
  const std::string dir = home_.Dir("keys");
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) WritePlainJpeg(dir + name);
  auto window = Open(dir, 1);
  Type(window.get(), "TextTab1Description", "first line");
  QTest::keyClick(Find<QPlainTextEdit>(window.get(), "TextTab1Description"), Qt::Key_PageDown);
  EXPECT_EQ(Find<QLabel>(window.get(), "Label1")->text(), "2/3");
  EXPECT_NE(ReadFile(dir + "a.dsc").find("[Description]\r\nfirst line\r\n"), std::string::npos);
  QTest::keyClick(Find<QComboBox>(window.get(), "Combo1"), Qt::Key_PageDown);
  EXPECT_EQ(Find<QLabel>(window.get(), "Label1")->text(), "3/3");
  QTest::keyClick(window.get(), Qt::Key_PageUp);
  EXPECT_EQ(Find<QLabel>(window.get(), "Label1")->text(), "2/3");
}

TEST_F(DescriptionWindowTest, TabKeyFollowsTheFieldsOfTheShownTab) {
  const std::string dir = home_.Dir("focus");
  WritePlainJpeg(dir + "a.jpg");
  auto window = Open(dir, 1);
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  EXPECT_EQ(QApplication::focusWidget()->objectName(), "TextTab1Title");
  for (const char* next : {"TextTab1Description", "TextTab1Keys", "CheckTakeDateFromFilename", "CommandTab1OK"}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), next);
  }
  Find<QTabWidget>(window.get(), "TabStrip1")->setCurrentIndex(2);
  Find<QPlainTextEdit>(window.get(), "TextTab3Title")->setFocus();
  for (const char* next : {"TextTab3Description", "CommandTab3PictureSet", "CommandTab3PictureView"}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), next);
  }
}

TEST_F(DescriptionWindowTest, ReopeningReturnsToTheLastDirectoryAndPosition) {
  const std::string first = home_.Dir("first");
  const std::string second = home_.Dir("second");
  WritePlainJpeg(first + "a.jpg");
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) WritePlainJpeg(second + name);
  auto window = Open(first, 1);
  Find<QPushButton>(window.get(), "CommandNextDir")->click();
  Find<QToolButton>(window.get(), "CommandScrollUp")->click();
  Find<QToolButton>(window.get(), "CommandScrollUp")->click();
  Find<QPushButton>(window.get(), "CommandTab1OK")->click();
  EXPECT_FALSE(window->isVisible());
  window.reset();

  auto reopened = std::make_unique<DescriptionWindow>();
  reopened->show();
  EXPECT_EQ(reopened->editor().current_dir(), second);
  EXPECT_EQ(Find<QLabel>(reopened.get(), "Label1")->text(), "3/3");
  EXPECT_EQ(Find<QComboBox>(reopened.get(), "Combo1")->currentText(), "c.jpg: 3");
}

/// A JPEG of red, green, blue and white quarters (top left, top right,
/// bottom left, bottom right as stored) with an EXIF orientation.
void WriteTurnedJpeg(const std::string& path, int width, int height, uint16_t orientation) {
  QImage image(width, height, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.fillRect(0, 0, width / 2, height / 2, Qt::red);
  painter.fillRect(width / 2, 0, width - width / 2, height / 2, Qt::green);
  painter.fillRect(0, height / 2, width / 2, height - height / 2, Qt::blue);
  painter.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, Qt::white);
  painter.end();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(image.save(&buffer, "JPEG", 95));
  exif_writer::WriteFileBytes(
      path, exif_writer::MakeCameraJpeg({.orientation = orientation},
                                        exif_writer::Bytes(bytes.begin(), bytes.end())));
}

// The preview shows a picture as the album makes it: upright by its EXIF
// orientation, whole within its box however large the file; a Rotation "0"
// (a lossless turn done before) keeps it as stored.
TEST_F(DescriptionWindowTest, PreviewStandsUprightLikeTheAlbum) {
  const std::string dir = home_.Dir("upright");
  WriteTurnedJpeg(dir + "a.jpg", 1600, 1200, 6);
  WriteTurnedJpeg(dir + "b.jpg", 1600, 1200, 6);
  WriteFile(dir + "b.dsc", "[Rotation]\r\n0\r\n");
  auto window = Open(dir, 1);
  auto* label = Find<QLabel>(window.get(), "Image1");
  const auto corners = [&](const char* expected) {
    const QImage shown = label->pixmap().toImage();
    ASSERT_FALSE(shown.isNull());
    const QSize box = label->contentsRect().size() * label->devicePixelRatioF();
    EXPECT_LE(shown.width(), box.width());
    EXPECT_LE(shown.height(), box.height());
    const int right = shown.width() - 4, bottom = shown.height() - 4;
    std::string seen;
    for (const QPoint& at :
         {QPoint(3, 3), QPoint(right, 3), QPoint(3, bottom), QPoint(right, bottom)}) {
      const QColor c = shown.pixelColor(at);
      seen += c.red() > 200 && c.green() > 200 ? 'W'
              : c.red() > 200                  ? 'R'
              : c.green() > 200                ? 'G'
                                               : 'B';
    }
    EXPECT_EQ(seen, expected) << shown.width() << "x" << shown.height();
  };
  // Orientation 6 is turned a quarter clockwise to stand upright.
  corners("BRWG");
  EXPECT_GT(label->pixmap().height(), label->pixmap().width());
  Find<QToolButton>(window.get(), "CommandScrollUp")->click();
  corners("RGBW");
  EXPECT_LT(label->pixmap().height(), label->pixmap().width());
}

TEST_F(DescriptionWindowTest, LosslessRotationKeepsTheOriginalAsJpeg) {
  const std::string dir = home_.Dir("turn");
  WritePlainJpeg(dir + "a.jpg", 16, 8);
  WritePlainJpeg(dir + "b.jpg");
  auto window = Open(dir, 1);
  EXPECT_TRUE(Find<QCheckBox>(window.get(), "CheckRotateLosless")->isChecked());
  Find<QRadioButton>(window.get(), "OptionRP90")->click();
  Find<QToolButton>(window.get(), "CommandScrollUp")->click();

  EXPECT_EQ(testing::PictureSize(dir + "a.jpg"), "8x16");
  EXPECT_EQ(testing::PictureSize(dir + "a.jpeg"), "16x8");
  EXPECT_EQ(ReadFile(dir + "a.dsc"), "[Title]\r\n\r\n[Description]\r\n\r\n[Keys]\r\n\r\n[Quality]\r\n\r\n"
                                     "[Originality]\r\n\r\n[Rotation]\r\n0\r\n[TakeDateFromFilename]\r\n\r\n"
                                     "[AddLink]\r\n\r\n");
  EXPECT_EQ(ui_.log_lines, std::vector<std::string>{dir + "a.jpg losless rotated by +90 degrees"});
  // Back on the turned picture no rotation is chosen any more.
  Find<QToolButton>(window.get(), "CommandScrollDown")->click();
  EXPECT_FALSE(Find<QRadioButton>(window.get(), "OptionRP90")->isChecked());
}

TEST_F(DescriptionWindowTest, FailedRotationLeavesThePictureInPlace) {
  const std::string dir = home_.Dir("broken");
  WriteFile(dir + "a.jpg", "not a JPEG stream");
  WritePlainJpeg(dir + "b.jpg");
  auto window = Open(dir, 1);
  Find<QRadioButton>(window.get(), "OptionR180")->click();
  Find<QToolButton>(window.get(), "CommandScrollUp")->click();

  EXPECT_EQ(ReadFile(dir + "a.jpg"), "not a JPEG stream");
  EXPECT_FALSE(FileExists(dir + "a.jpeg"));
  EXPECT_NE(ReadFile(dir + "a.dsc").find("[Rotation]\r\n180\r\n"), std::string::npos);
  ASSERT_EQ(ui_.log_lines.size(), 1u);
  EXPECT_EQ(ui_.log_lines[0], "Can't rotate " + dir + "a.jpg losslessly by 180 degrees (error 103)");
}

TEST_F(DescriptionWindowTest, ExifFieldOrTakeDateBoxFollowsThePicture) {
  const std::string dir = home_.Dir("exif");
  testing::WriteCameraJpeg(dir + "a.jpg");
  WritePlainJpeg(dir + "b.jpg");
  auto window = Open(dir, 1);
  auto* exif = Find<QPlainTextEdit>(window.get(), "TextTab1ExifData");
  auto* take_date = Find<QCheckBox>(window.get(), "CheckTakeDateFromFilename");
  EXPECT_TRUE(exif->isVisible());
  EXPECT_TRUE(Find<QLabel>(window.get(), "LabelExif")->isVisible());
  EXPECT_FALSE(take_date->isVisible());
  // As people read it, not as the library dumps it.
  EXPECT_EQ(exif->toPlainText(), "1/250 s\n2004-05-12 13:45:01\nCanon PowerShot A80");
  Find<QToolButton>(window.get(), "CommandScrollUp")->click();
  EXPECT_FALSE(exif->isVisible());
  EXPECT_TRUE(take_date->isVisible());
  take_date->click();
  Find<QPushButton>(window.get(), "CommandTab1OK")->click();
  EXPECT_NE(ReadFile(dir + "b.dsc").find("[TakeDateFromFilename]\r\n1\r\n"), std::string::npos);
}

TEST_F(DescriptionWindowTest, PictureClickWithoutViewerShowsTheMessage) {
  const std::string dir = home_.Dir("click");
  WritePlainJpeg(dir + "a.jpg");
  auto window = Open(dir, 1);
  QTest::mouseClick(Find<QLabel>(window.get(), "Image1"), Qt::LeftButton);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"External Image Viewer not configured!"});
  EXPECT_FALSE(Find<QLabel>(window.get(), "Image1")->pixmap().isNull());
}

TEST_F(DescriptionWindowTest, ControlsCarryTheirNames) {
  auto window = Open(home_.Dir(), 1);
  for (const char* name : {"Drive1", "Combo1"}) EXPECT_NE(window->findChild<QComboBox*>(name), nullptr) << name;
  for (const char* name : {"CommandUpDir", "CommandNextDir", "CommandPrevDir", "CommandTab1OK", "CommandTab2OK",
                           "CommandTab3OK", "CommandTab2ChooseFile", "CommandTab2Launch", "CommandTab2ResetValues",
                           "CommandTab3PictureSet", "CommandTab3PictureView", "CommandTab3PictureClear"})
    EXPECT_NE(window->findChild<QPushButton*>(name), nullptr) << name;
  for (const char* name : {"OptionQ1", "OptionQ6", "OptionO1", "OptionO6", "OptionRP90", "OptionRM90", "OptionR180"})
    EXPECT_NE(window->findChild<QRadioButton*>(name), nullptr) << name;
  for (const char* name : {"TextTab1Title", "TextTab1Description", "TextTab1Keys", "TextTab1ExifData",
                           "TextTab3Title", "TextTab3Description"})
    EXPECT_NE(window->findChild<QPlainTextEdit*>(name), nullptr) << name;
  for (const char* name : {"Dir1", "Image1", "Label1", "LabelTab3PictureName", "TabStrip1", "ImageShowThumbnails"})
    EXPECT_NE(window->findChild<QWidget*>(name), nullptr) << name;
  EXPECT_EQ(Find<QLabel>(window.get(), "LabelTab3PictureName")->text(), "<None>");
  auto* tabs = Find<QTabWidget>(window.get(), "TabStrip1");
  for (int tab = 0; tab < tabs->count(); ++tab) {
    tabs->setCurrentIndex(tab);
    EXPECT_EQ(testing::MissingAccessKeys(window.get()), "") << tab;
  }
}

TEST_F(DescriptionWindowTest, RatingsSayWhichEndIsBestAndComeFromTheKeyboard) {
  const std::string dir = home_.Dir("keys");
  WritePlainJpeg(dir + "a.jpg");
  WritePlainJpeg(dir + "b.jpg");
  auto window = Open(dir, 1);
  EXPECT_EQ(Find<QLabel>(window.get(), "LabelRatingScale")->text(), QString::fromUtf8("1 = best \u2026 6 = worst"));
  EXPECT_TRUE(Find<QRadioButton>(window.get(), "OptionQ1")->toolTip().endsWith("(best)"));
  // While typing the title, on the first tab.
  window->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
  Type(window.get(), "TextTab1Title", "Sunset");
  QTest::keyClick(Find<QPlainTextEdit>(window.get(), "TextTab1Title"), Qt::Key_2, Qt::ControlModifier);
  QTest::keyClick(Find<QPlainTextEdit>(window.get(), "TextTab1Title"), Qt::Key_5, Qt::AltModifier);
  EXPECT_TRUE(Find<QRadioButton>(window.get(), "OptionQ2")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>(window.get(), "OptionO5")->isChecked());
  EXPECT_EQ(Find<QPlainTextEdit>(window.get(), "TextTab1Title")->toPlainText(), "Sunset");
  Find<QToolButton>(window.get(), "CommandScrollUp")->click();
  const std::string stored = ReadFile(dir + "a.dsc");
  EXPECT_NE(stored.find("[Quality]\r\n2\r\n"), std::string::npos) << stored;
  EXPECT_NE(stored.find("[Originality]\r\n5\r\n"), std::string::npos) << stored;
}

TEST_F(DescriptionWindowTest, FitsASmallScreenAndShowsCorrectlySpeltTexts) {
  auto window = Open(home_.Dir(), 1);
  const QSize least = window->minimumSizeHint();
  EXPECT_LE(least.width(), 1366);
  EXPECT_LE(least.height(), 768 - 60);  // a panel and the title bar
  EXPECT_EQ(Find<QPlainTextEdit>(window.get(), "TextTab1Description")->toolTip(),
            "Enter a Description for the current Picture");
  EXPECT_EQ(Find<QCheckBox>(window.get(), "CheckRotateLosless")->text(), "Rotate Lossless at Original &Location");
  EXPECT_FALSE(Find<QLabel>(window.get(), "LabelExif")->toolTip().contains("Digitial"));
}

}  // namespace
}  // namespace snapcrate
