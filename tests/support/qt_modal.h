#pragma once
// Window tests: answering modal dialogs, which block in exec().

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace snapcrate::testing {

/// Runs `handle` on the next modal window once it is shown.
inline void OnNextModal(std::function<void(QWidget*)> handle) {
  auto* timer = new QTimer;
  timer->setInterval(20);
  QObject::connect(timer, &QTimer::timeout, [timer, handle] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      handle(modal);
    }
  });
  timer->start();
}

}  // namespace snapcrate::testing
