// snapcrate: the desktop program.

#include <QApplication>

#include "app/main_window.h"
#include "app/qt_ui_port.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Snapcrate");
  QApplication::setDesktopFileName("snapcrate");
  snapcrate::QtUiPort ui;
  snapcrate::MainWindow window(ui);
  window.show();
  window.Start();
  return QApplication::exec();
}
