// Keyboard shortcuts for the windows' buttons and actions. A button's key acts exactly where a click would:
// only while its button is shown and enabled, and through the button's own click, so held work is held
// alike.
#pragma once
#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>

class QAbstractButton;
class QAction;
class QWidget;

// "Отмена хода (Ctrl+Z)"; several keys are listed with commas.
QString ShortcutTooltip(const QString& Name, const QList<QKeySequence>& Keys);
// Names the button and its keys in its tooltip and lets each key click it.
void BindShortcuts(QAbstractButton* Button, const QString& Name, const QList<QKeySequence>& Keys);
// A window-wide action with its key, also offered in MenuHolder's context menu (none when null).
QAction* AddWindowAction(QWidget* Window, QWidget* MenuHolder, const char* Name, const QString& Text,
                         const QKeySequence& Key, std::function<void()> Triggered);
