// Button shortcuts: one QShortcut per key, owned by the button, so that Qt offers the key only while the
// button is visible and enabled.
#include "ButtonShortcuts.h"

#include <QAbstractButton>
#include <QShortcut>
#include <QStringList>

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
