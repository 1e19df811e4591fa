#pragma once
// The main window "Snapcrate": menus, the tool strip and the log window.

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/init.h"
#include "app/main_window_logic.h"

class QMdiArea;
class QPushButton;

namespace snapcrate {

class LogWindow;
class QtUiPort;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(QtUiPort& ui, QWidget* parent = nullptr);
  ~MainWindow() override;

  /// The load event: start-up, then the log window.
  void Start(const InitOptions& options = {});
  /// Runs a command as the menu and the tool strip do.
  void Execute(MainCommand command);

  void do_help();
  /// Opens the Generate HTML window in `mode` (0, the only one); `result` is
  /// "OK" when it was confirmed, else empty.
  void StartGenHTMLDialog(int16_t mode, std::string& result);

  LogWindow* log_window() const { return log_window_; }
  bool TaskRunning() const { return logic_->TaskRunning(); }
  /// How the program ends (End, or a close that waited for a task); exits the
  /// process unless a test puts something else here.
  void SetEndAction(std::function<void()> end) { end_ = std::move(end); }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void BuildToolStrip();
  MainCommandActions Actions();
  void SetCommandsEnabled(bool enabled);
  /// After a task: a button in the status bar that opens what it made.
  void OfferResult(const QString& caption, const QString& path);

  QtUiPort& ui_;
  QMdiArea* mdi_ = nullptr;
  LogWindow* log_window_ = nullptr;
  QPushButton* open_result_ = nullptr;
  QString result_path_;
  std::unique_ptr<MainWindowLogic> logic_;
  std::function<void()> end_;
};

}  // namespace snapcrate
