// The chat line's guard: it refuses characters that Windows-1251, the wire's code page, cannot carry, so
// that the sender's echo and the peer's screen show the same text. The window reads which character was
// refused to say why the key did nothing.
#pragma once
#include <QValidator>

class ChatLineValidator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& Input, int& Pos) const override;
    // The character refused by the latest validation; empty when it accepted the text.
    const QString& Refused() const { return FRefused; }

private:
    mutable QString FRefused;
};
