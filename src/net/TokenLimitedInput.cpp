#include "net/TokenLimitedInput.h"

namespace {

bool isNumberCharacter(char byte) {
    return (byte >= '0' && byte <= '9') || byte == '-' || byte == '+' || byte == '.' || byte == 'e' || byte == 'E';
}

}  // namespace

bool JsonTokenMeter::accept(char byte) {
    if (over_) return false;
    if (inString_) {
        if (escaped_) {
            escaped_ = false;
        } else if (byte == '\\') {
            escaped_ = true;
        } else if (byte == '"') {
            inString_ = false;
            run_ = 0;
            return true;
        }
        over_ = ++run_ > limits_.string;
    } else if (byte == '"') {
        inString_ = true;
        run_ = 0;
    } else if (isNumberCharacter(byte)) {
        over_ = ++run_ > limits_.number;
    } else {
        run_ = 0;
    }
    return !over_;
}
