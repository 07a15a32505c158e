#include "CopyKeyPassThrough.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

void CopyKeyPassThrough::Install(QWidget* Field) {
    Field->installEventFilter(new CopyKeyPassThrough(Field));
}

bool CopyKeyPassThrough::eventFilter(QObject* Watched, QEvent* Event) {
    if (Event->type() != QEvent::ShortcutOverride ||
        !static_cast<QKeyEvent*>(Event)->matches(QKeySequence::Copy))
        return false;
    bool selection = false;
    if (const auto* line = qobject_cast<QLineEdit*>(Watched)) selection = line->hasSelectedText();
    if (const auto* text = qobject_cast<QPlainTextEdit*>(Watched))
        selection = text->textCursor().hasSelection();
    // Left unanswered, the key goes on to the window's shortcuts.
    return !selection;
}
