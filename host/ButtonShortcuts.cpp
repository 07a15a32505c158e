// Button shortcuts: one QShortcut per key, owned by the button, so that Qt offers the key only while the
// button is visible and enabled.
#include "ButtonShortcuts.h"

#include <QAbstractButton>
#include <QAction>
#include <QShortcut>
#include <QStringList>
#include <QWidget>

#include <utility>

QString ShortcutTooltip(const QString& Name, const QList<QKeySequence>& Keys) {
    QStringList keys;
    for (const QKeySequence& key : Keys) keys << key.toString(QKeySequence::NativeText);
    return keys.isEmpty() ? Name : Name + QStringLiteral(" (") + keys.join(QStringLiteral(", ")) + u')';
}

void BindShortcuts(QAbstractButton* Button, const QString& Name, const QList<QKeySequence>& Keys) {
    Button->setToolTip(ShortcutTooltip(Name, Keys));
    for (const QKeySequence& key : Keys) {
        auto* shortcut = new QShortcut(key, Button);
        shortcut->setContext(Qt::WindowShortcut);
        // Qt asks the owner's state before it offers the key; the check here covers a state that changed
        // in between.
        QObject::connect(shortcut, &QShortcut::activated, Button, [Button] {
            if (Button->isVisible() && Button->isEnabled()) Button->click();
        });
    }
}

QAction* AddWindowAction(QWidget* Window, QWidget* MenuHolder, const char* Name, const QString& Text,
                         const QKeySequence& Key, std::function<void()> Triggered) {
    auto* action = new QAction(Text, Window);
    action->setObjectName(QString::fromLatin1(Name));
    action->setShortcut(Key);
    QObject::connect(action, &QAction::triggered, Window, std::move(Triggered));
    Window->addAction(action);
    if (MenuHolder) MenuHolder->addAction(action);
    return action;
}
