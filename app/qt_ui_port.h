#pragma once
// The desktop program's UI port: message boxes, the log window, the progress
// window and the busy pointer.

#include <QPointer>

#include "app/progress_window.h"
#include "app/ui_port.h"

class QWidget;

namespace snapcrate {

class LogWindow;

class QtUiPort : public UiPort {
 public:
  QtUiPort();
  ~QtUiPort() override;

  /// The window message boxes and the progress window belong to.
  void SetMainWindow(QWidget* window, LogWindow* log_window);

  MessageAnswer MessageBox(std::string_view text, MessageButtons buttons) override;
  void ShowFatal(std::string_view text) override;
  void ProcessEvents() override;
  void SetBusy(bool busy) override;
  void LogChanged(std::string_view message, const LogRing& ring) override;
  void LogCleared() override;
  void ProgressShow() override;
  void ProgressSetRange(int minimum, int maximum) override;
  void ProgressSetValue(int value, const std::string* label) override;
  void ProgressCountChanged(int64_t done, int64_t total, const std::string& text) override;
  void ProgressHide() override;
  bool RunSettingsDialog() override;

  ProgressWindow* progress_window() const { return progress_.data(); }

 private:
  QWidget* main_window_ = nullptr;
  LogWindow* log_window_ = nullptr;
  // Owned by the main window when there is one, else by this port.
  QPointer<ProgressWindow> progress_;
  bool busy_ = false;
};

}  // namespace snapcrate
