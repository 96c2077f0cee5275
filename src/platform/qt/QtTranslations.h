#pragma once

// The language of the interface and Qt's own texts in it. The program's
// texts are written in Japanese; Qt's dialogs and standard buttons (the file
// dialog, OK and Cancel) come in English unless Qt's translations for the
// same language are loaded, which would mix two languages in one window.

#include <cstdint>
#include <functional>

class QCoreApplication;
class QTranslator;

enum class TInterfaceLanguage : uint8_t { ilJapanese, ilEnglish };

// MIREVA_LANG when set, else the language the locale gives messages:
// LANGUAGE's first entry, LC_ALL, LC_MESSAGES or LANG, as gettext reads them
// (LANGUAGE counts only outside the "C" locale). Japanese for "ja" and
// "ja_JP..." alike, English for everything else. getenv looks up the
// environment.
TInterfaceLanguage InterfaceLanguage(const std::function<const char*(const char*)>& getenv);

// Loads Qt's translations for language from Qt's translations folder and
// installs them into application, which owns them; null when there is
// nothing to load (English) or the files are not installed (Debian's
// qt6-translations-l10n). User-interface thread.
QTranslator* InstallQtTranslations(QCoreApplication& application, TInterfaceLanguage language);
