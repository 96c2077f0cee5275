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

std::string Tx(const std::string& japanese)
{
    return Translator ? std::string(Tx(japanese.c_str())) : japanese;
}

void InstallTranslator(TTranslateFunction translate)
{
    Translator = translate;
}
