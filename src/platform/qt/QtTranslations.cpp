#include "platform/qt/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <string_view>

namespace {

bool IsJapanese(std::string_view value)
{
    // "ja", "ja_JP.UTF-8", "ja@..." but not another language starting with
    // the same letters.
    return value.substr(0, 2) == "ja" && (value.size() == 2 || value[2] == '_' || value[2] == '.' || value[2] == '@');
}

std::string_view Value(const std::function<const char*(const char*)>& getenv, const char* name)
{
    const char* value = getenv(name);
    return value ? std::string_view(value) : std::string_view();
}

}  // namespace

TInterfaceLanguage InterfaceLanguage(const std::function<const char*(const char*)>& getenv)
{
    const std::string_view chosen = Value(getenv, "MIREVA_LANG");
    if (!chosen.empty())
        return IsJapanese(chosen) ? TInterfaceLanguage::ilJapanese : TInterfaceLanguage::ilEnglish;
    std::string_view locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = Value(getenv, name);
        if (!locale.empty())
            break;
    }
    if (locale.empty() || locale == "C" || locale == "POSIX" || locale.substr(0, 2) == "C.")
        return TInterfaceLanguage::ilEnglish;
    const std::string_view languages = Value(getenv, "LANGUAGE");
    if (!languages.empty())
        return IsJapanese(languages.substr(0, languages.find(':'))) ? TInterfaceLanguage::ilJapanese
                                                                    : TInterfaceLanguage::ilEnglish;
    return IsJapanese(locale) ? TInterfaceLanguage::ilJapanese : TInterfaceLanguage::ilEnglish;
}

QTranslator* InstallQtTranslations(QCoreApplication& application, TInterfaceLanguage language)
{
    if (language != TInterfaceLanguage::ilJapanese)
        return nullptr;
    auto* translator = new QTranslator(&application);
    if (!translator->load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}
