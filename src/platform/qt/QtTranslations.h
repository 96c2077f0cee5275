#pragma once

// The language of the interface, the program's texts in it and Qt's own.
// The program's texts are written in Japanese and translated into English
// (translations/mireva_en.ts, embedded in the program); Qt's dialogs and
// standard buttons (the file dialog, OK and Cancel) come in English unless
// Qt's translations for the same language are loaded, which would mix two
// languages in one window.

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

// Makes Tx (base/Texts.h) give the program's texts in language: for
// English it loads the embedded translations and installs the lookup; for
// Japanese it does nothing, the texts being Japanese already. Needs no
// application object, so mireva-cli calls it as well. Call once at the
// start, before any thread is started. False when the translations could
// not be loaded (the texts stay Japanese).
bool InstallProgramTranslations(TInterfaceLanguage language);

// Loads Qt's translations for language from Qt's translations folder and
// installs them into application, which owns them; null when there is
// nothing to load (English) or the files are not installed (Debian's
// qt6-translations-l10n). User-interface thread.
QTranslator* InstallQtTranslations(QCoreApplication& application, TInterfaceLanguage language);
