#pragma once
// Window tests: every control a person reaches by name has its own access key.

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QStringList>
#include <QTabBar>
#include <QWidget>
#include <string>

namespace snapcrate::testing {

/// The access key of a caption ("Sa&me" gives 'm'), or 0.
inline QChar AccessKey(const QString& caption) {
  for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') return caption[i + 1].toLower();
    ++i;
  }
  return {};
}

/// The captions of `window`'s shown push buttons, check boxes, tabs and
/// labels of fields that have no access key or share one, joined with " | ".
/// OK, Cancel and the default button answer to Enter and Escape instead.
inline std::string MissingAccessKeys(QWidget* window) {
  QStringList captions;
  for (auto* button : window->findChildren<QAbstractButton*>()) {
    if (!button->isVisibleTo(window) || button->text().isEmpty()) continue;
    if (!qobject_cast<QPushButton*>(button) && !qobject_cast<QCheckBox*>(button)) continue;
    if (auto* push = qobject_cast<QPushButton*>(button);
        push && (push->isDefault() || push->text() == "OK" || push->text() == "Cancel"))
      continue;
    captions << button->text();
  }
  for (auto* label : window->findChildren<QLabel*>())
    if (label->isVisibleTo(window) && label->buddy()) captions << label->text();
  for (auto* tabs : window->findChildren<QTabBar*>())
    if (tabs->isVisibleTo(window))
      for (int i = 0; i < tabs->count(); ++i) captions << tabs->tabText(i);
  QStringList faults;
  QMap<QChar, QString> taken;
  for (const QString& caption : captions) {
    const QChar key = AccessKey(caption);
    if (key.isNull()) faults << caption;
    else if (taken.contains(key)) faults << taken[key] + " = " + caption;
    else taken[key] = caption;
  }
  return faults.join(" | ").toStdString();
}

}  // namespace snapcrate::testing
