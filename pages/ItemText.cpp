#include "pages/ItemText.h"

#include "platform/Formatting.h"

double ReadItemNumber(std::string_view text) {
    return TextToDouble(text.substr(0, MaxItemTextLength));
}

std::int32_t ReadItemInteger(std::string_view text) {
    return TextToInteger(text.substr(0, MaxItemTextLength));
}
