#include "ChatLineValidator.h"

#include "Wire.h"

QValidator::State ChatLineValidator::validate(QString& Input, int&) const {
    FRefused.clear();
    return Wire::CanEncode(Input, &FRefused) ? Acceptable : Invalid;
}
