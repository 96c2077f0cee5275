#include "platform/qt/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "base/Texts.h"

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

// The English texts, read once at the start and only looked up afterwards.
// The lookup keeps each translated text for the life of the process so that
// Tx can hand out a plain pointer to it.
class TProgramTexts {
public:
    bool Load()
    {
        return fTranslator.load(QStringLiteral(":/translations/mireva_en.qm")) && !fTranslator.isEmpty();
    }

    // Any thread.
    const char* Translate(const char* japanese)
    {
        const std::lock_guard lock(fLock);
        auto found = fTexts.find(japanese);
        if (found == fTexts.end()) {
            const QString text = fTranslator.translate("Mireva", japanese);
            std::unique_ptr<std::string> kept;
            if (!text.isEmpty())
                kept = std::make_unique<std::string>(text.toStdString());
            found = fTexts.emplace(japanese, std::move(kept)).first;
        }
        return found->second ? found->second->c_str() : japanese;
    }

private:
    QTranslator fTranslator;
    std::mutex fLock;  // guards fTexts (QTranslator::translate only reads)
    std::unordered_map<std::string, std::unique_ptr<std::string>> fTexts;
};

// Made by the one call of InstallProgramTranslations and kept to the end of
// the process, since every text Tx handed out points into it.
TProgramTexts* ProgramTexts = nullptr;

const char* TranslateProgramText(const char* japanese)
{
    return ProgramTexts->Translate(japanese);
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

bool InstallProgramTranslations(TInterfaceLanguage language)
{
    if (language == TInterfaceLanguage::ilJapanese)
        return true;
    if (!ProgramTexts) {
        Q_INIT_RESOURCE(mireva_translations);
        auto texts = std::make_unique<TProgramTexts>();
        if (!texts->Load())
            return false;
        ProgramTexts = texts.release();
    }
    InstallTranslator(&TranslateProgramText);
    return true;
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
