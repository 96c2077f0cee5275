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

void InstallTranslator(TTranslateFunction translate)
{
    Translator = translate;
}
