#include "base/Texts.h"

namespace {

TTranslateFunction Translator = nullptr;

}  // namespace

const char* Tx(const char* japanese)
{
    if (!Translator || !japanese)
        return japanese;
    const char* text = Translator(japanese);
    return text ? text : japanese;
}

std::string Tx(std::string_view japanese)
{
    const std::string text(japanese);
    return Translator ? std::string(Tx(text.c_str())) : text;
}

std::string FillText(std::string_view pattern, std::initializer_list<std::string_view> values)
{
    std::string text;
    text.reserve(pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        const size_t index = i + 1 < pattern.size() ? static_cast<size_t>(pattern[i + 1] - '1') : values.size();
        if (pattern[i] == '%' && index < values.size() && index < 9) {
            text += values.begin()[index];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

void InstallTranslator(TTranslateFunction translate)
{
    Translator = translate;
}
