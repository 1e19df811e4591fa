// Saves a PNG of every window and dialog of the desktop program, each started
// on a demo home with a few pictures, so layouts can be checked by eye:
//   snapcrate_screenshots OUTDIR HOME
// HOME is made if missing (etc/ is copied from the build's home by the script).

#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/about_window.h"
#include "app/description_editor/description_window.h"
#include "app/generator/generate_window.h"
#include "app/import/adjust_window.h"
#include "app/import/import_options_window.h"
#include "app/import/import_window.h"
#include "app/library_loader.h"
#include "app/main_window.h"
#include "app/paths.h"
#include "app/progress.h"
#include "app/qt_text.h"
#include "app/qt_ui_port.h"
#include "app/schemes/config_editor_window.h"
#include "app/schemes/scheme_chooser_window.h"
#include "app/settings.h"
#include "app/settings_window.h"
#include "app/text.h"

#ifdef SNAPCRATE_HAVE_EXIF_WRITER
#include "tests/support/exif_writer/camera_exif.h"
#include "tests/support/exif_writer/file_bytes.h"
#endif

namespace snapcrate {
namespace {

QString g_out_dir;
int g_failures = 0;

/// Lets layouts, the directory models and pending paints settle.
void Settle(int milliseconds = 400) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < milliseconds) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
    QApplication::sendPostedEvents();
  }
}

void Save(QWidget* widget, const QString& name) {
  widget->show();
  widget->raise();
  Settle();
  const QString path = g_out_dir + "/" + name + ".png";
  if (!widget->grab().save(path)) {
    std::fprintf(stderr, "can't write %s\n", qPrintable(path));
    ++g_failures;
    return;
  }
  const QSize minimum = widget->minimumSizeHint();
  std::printf("%s (%dx%d, at least %dx%d)\n", qPrintable(path), widget->width(), widget->height(), minimum.width(),
              minimum.height());
}

/// A demo picture: a sky, a lake and a hill, with a label.
void WriteDemoPicture(const std::string& path, const QColor& sky, const QString& label, bool with_exif) {
  QImage image(1024, 768, QImage::Format_RGB32);
  QPainter painter(&image);
  QLinearGradient gradient(0, 0, 0, 768);
  gradient.setColorAt(0, sky.lighter(130));
  gradient.setColorAt(0.55, sky);
  gradient.setColorAt(0.56, QColor(40, 90, 140));
  gradient.setColorAt(1, QColor(20, 50, 90));
  painter.fillRect(image.rect(), gradient);
  painter.setBrush(QColor(60, 110, 50));
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(QPoint(300, 430), 420, 140);
  painter.setPen(Qt::white);
  QFont font = painter.font();
  font.setPixelSize(64);
  painter.setFont(font);
  painter.drawText(image.rect().adjusted(0, 40, 0, 0), Qt::AlignHCenter | Qt::AlignTop, label);
  painter.end();
  image.save(ToQString(path), "JPEG", 85);
#ifdef SNAPCRATE_HAVE_EXIF_WRITER
  if (with_exif) {
    using namespace exif_writer;
    const Bytes tiff = MakeCameraExif({.make = "Canon",
                                       .model = "Canon PowerShot A80",
                                       .exposure = Rational{1, 250},
                                       .f_number = Rational{28, 10},
                                       .iso = 100,
                                       .date_time_original = "2005:07:16 14:30:05",
                                       .flash = 16,
                                       .focal_length = Rational{78, 10}});
    WriteFileBytes(path, InsertExif(ReadFileBytes(path), tiff));
  }
#else
  (void)with_exif;
#endif
}

std::string MakeDemoPictures(const std::string& home) {
  const std::string root = home + "demo/2005/";
  const std::string summer = root + "summer_lake/";
  std::filesystem::create_directories(summer);
  std::filesystem::create_directories(root + "autumn");
  std::filesystem::create_directories(root + "winter");
  WriteDemoPicture(summer + "IMG_0041.jpg", QColor(120, 170, 230), "IMG_0041", true);
  WriteDemoPicture(summer + "IMG_0042.jpg", QColor(230, 160, 90), "IMG_0042", true);
  WriteDemoPicture(summer + "IMG_0043.jpg", QColor(150, 150, 200), "IMG_0043", false);
  auto write = [](const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    std::fputs(text.c_str(), file);
    std::fclose(file);
  };
  write(summer + "IMG_0041.dsc",
        "[Title]\r\nEvening at the lake\r\n[Description]\r\nThe boat house<br>seen from the pier\r\n"
        "[Keys]\r\nlake, boat house\r\n[Quality]\r\n2\r\n[Originality]\r\n3\r\n[Rotation]\r\n\r\n"
        "[TakeDateFromFilename]\r\n\r\n[AddLink]\r\nmap.pdf\r\n");
  write(summer + "_snapcrate_.dsc",
        "[Title]\r\nSummer 2005\r\n[Description]\r\nA week at the lake\r\n[Image]\r\nIMG_0042.jpg\r\n");
  return summer;
}

int Run(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s OUTDIR HOME\n", argv[0]);
    return 2;
  }
  g_out_dir = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(g_out_dir);
  const std::string home = WithTrailingSlash(argv[2]);
  SetLibraryDir(SNAPCRATE_LIBRARY_DIR);

  QtUiPort ui;
  MainWindow main_window(ui);
  main_window.show();
  main_window.Start({.home_override = home});
  const std::string summer = MakeDemoPictures(home);
  WriteSettings({{"AddDescPath", summer},
                 {"AddDescImageIndex", "1"},
                 {"ImportMediaFilesSourcePath", home + "demo/2005"},
                 {"ImportMediaFilesDestPath", home + "demo"},
                 {"AdjustExifDateTimePath", summer},
                 {"Copyright", "(c) 2005 The Photographer<br>All rights reserved"}});
  Save(&main_window, "main_window");

  {
    SettingsWindow settings(&main_window);
    Save(&settings, "settings");
  }
  {
    AboutWindow about(&main_window);
    Save(&about, "about");
  }
  ProgressShow(1, 10);
  ProgressCountTotal(240);
  ProgressCountAdvance(96);
  ProgressUpdate(4, summer + "IMG_0042.jpg");
  if (ui.progress_window()) Save(ui.progress_window(), "progress");
  ProgressHide();

  {
    DescriptionWindow description(&main_window);
    // The offscreen screen is small; the window fits itself to real screens.
    description.resize(1040, 720);
    auto* tabs = description.findChild<QTabWidget*>("TabStrip1");
    Save(&description, "description_info");
    tabs->setCurrentIndex(1);
    Save(&description, "description_extended");
    tabs->setCurrentIndex(2);
    Save(&description, "description_directory");
    tabs->setCurrentIndex(0);
    description.editor().NextPicture();
    description.editor().NextPicture();
    description.ShowState();
    Save(&description, "description_no_exif");
    description.editor().Confirm();
  }
  {
    ImportWindow import_window(&main_window);
    Save(&import_window, "import");
    ImportOptionsWindow options(import_window.dialog().options(), &import_window);
    Save(&options, "import_options");
  }
  {
    WriteSettings({{"GenHTMLSourcePath", home + "demo/2005"}, {"GenHTMLDestPath", home + "demo"}});
    GenerateWindow generate(&main_window);
    Save(&generate, "generate");
    AlbumConfig buffer;
    for (const AlbumConfig& config : Configs())
      if (config.name == "Two sizes") buffer = config;
    ConfigEditorWindow editor(buffer, &generate);
    Save(&editor, "config_editor");
    SchemeChooserWindow chooser(0, &editor);
    Save(&chooser, "scheme_chooser");
  }
  {
    AdjustWindow adjust(&main_window);
    Save(&adjust, "adjust");
    adjust.findChild<QScrollBar*>("VScrollEAYear")->setValue(0);
    Save(&adjust, "adjust_offset_too_large");
  }
  return g_failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace snapcrate

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // SNAPCRATE_SCREENSHOT_DARK=1: a dark theme, to see that every colour comes from the palette.
  if (qEnvironmentVariableIntValue("SNAPCRATE_SCREENSHOT_DARK") == 1) {
    QApplication::setStyle("Fusion");
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(45, 45, 48));
    dark.setColor(QPalette::WindowText, QColor(225, 225, 225));
    dark.setColor(QPalette::Base, QColor(30, 30, 32));
    dark.setColor(QPalette::AlternateBase, QColor(50, 50, 54));
    dark.setColor(QPalette::Text, QColor(225, 225, 225));
    dark.setColor(QPalette::Button, QColor(55, 55, 60));
    dark.setColor(QPalette::ButtonText, QColor(225, 225, 225));
    dark.setColor(QPalette::ToolTipBase, QColor(60, 60, 64));
    dark.setColor(QPalette::ToolTipText, QColor(225, 225, 225));
    dark.setColor(QPalette::Highlight, QColor(60, 110, 180));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Link, QColor(120, 170, 240));
    dark.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(130, 130, 130));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(130, 130, 130));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(130, 130, 130));
    QApplication::setPalette(dark);
  }
  return snapcrate::Run(argc, argv);
}
