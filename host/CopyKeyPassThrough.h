// Lets the copy key reach the window's own copy action while a text field has the focus but nothing
// selected: a line edit or a log would otherwise take Ctrl+C for itself and copy nothing.
#pragma once
#include <QObject>

class CopyKeyPassThrough : public QObject {
    Q_OBJECT
public:
    // Watches Field (a QLineEdit or a QPlainTextEdit); owned by it.
    static void Install(QWidget* Field);

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    using QObject::QObject;
};
