#include "input/button_name.h"

#include "resource/translator.h"

std::string FormatButtonName(std::string_view format, int number) {
    std::string result;
    bool filled = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const bool directive = format[i] == '%' && i + 1 < format.size();
        if (directive && format[i + 1] == '%') {
            result += '%';
            ++i;
        } else if (directive && format[i + 1] == 'd' && !filled) {
            result += std::to_string(number);
            filled = true;
            ++i;
        } else {
            result += format[i];
        }
    }
    return result;
}

std::string ButtonCodeName(int number) {
    return FormatButtonName(CTranslator::Instance().Translate("Button %d"), number);
}
