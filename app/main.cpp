// snapcrate: the desktop program.

#include <QApplication>
#include <clocale>

#include "app/main_window.h"
#include "app/pictures/image_library.h"
#include "app/qt_ui_port.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // Qt takes the user's locale for everything; numbers in stored files and in
  // the EXIF dump must keep "." as the decimal point.
  setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName("Snapcrate");
  QApplication::setDesktopFileName("snapcrate");
  snapcrate::QtUiPort ui;
  snapcrate::MainWindow window(ui);
  window.show();
  window.Start();
  const int status = QApplication::exec();
  snapcrate::PixCoreShutdown();
  return status;
}
