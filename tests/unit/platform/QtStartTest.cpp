#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTranslator>
#include <map>
#include <string>
#include <vector>

#include "platform/qt/OffscreenNotices.h"
#include "platform/qt/QtTranslations.h"

namespace {

using TEnvironment = std::map<std::string, std::string>;

auto Lookup(const TEnvironment& environment)
{
    return [&environment](const char* name) -> const char* {
        const auto it = environment.find(name);
        return it == environment.end() ? nullptr : it->second.c_str();
    };
}

struct TLanguageCase {
    const char* Name;
    TEnvironment Environment;
    TInterfaceLanguage Language;
};

class InterfaceLanguageTest : public ::testing::TestWithParam<TLanguageCase> {};

TEST_P(InterfaceLanguageTest, FollowsTheLocaleUnlessChosen)
{
    EXPECT_EQ(InterfaceLanguage(Lookup(GetParam().Environment)), GetParam().Language);
}

constexpr TInterfaceLanguage Ja = TInterfaceLanguage::ilJapanese;
constexpr TInterfaceLanguage En = TInterfaceLanguage::ilEnglish;

INSTANTIATE_TEST_SUITE_P(
    Rows, InterfaceLanguageTest,
    ::testing::Values(TLanguageCase{"NoLocale", {}, En},
                      TLanguageCase{"JapaneseLang", {{"LANG", "ja_JP.UTF-8"}}, Ja},
                      TLanguageCase{"EnglishLang", {{"LANG", "en_US.UTF-8"}}, En},
                      TLanguageCase{"LcAllBeforeLang", {{"LC_ALL", "C"}, {"LANG", "ja_JP.UTF-8"}}, En},
                      TLanguageCase{"LcMessagesBeforeLang", {{"LC_MESSAGES", "ja_JP.UTF-8"}, {"LANG", "en_GB"}}, Ja},
                      TLanguageCase{"LanguageListFirst", {{"LANGUAGE", "ja:en"}, {"LANG", "en_US.UTF-8"}}, Ja},
                      TLanguageCase{"LanguageIgnoredInC", {{"LANGUAGE", "ja"}, {"LANG", "C.UTF-8"}}, En},
                      TLanguageCase{"ChosenJapanese", {{"MIREVA_LANG", "ja"}, {"LC_ALL", "en_US.UTF-8"}}, Ja},
                      TLanguageCase{"ChosenEnglish", {{"MIREVA_LANG", "en"}, {"LANG", "ja_JP.UTF-8"}}, En},
                      TLanguageCase{"OtherLanguageWithTheSameLetters", {{"LANG", "jam_JM"}}, En}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(QtTranslations, JapaneseInterfaceGetsJapaneseStandardButtons)
{
    QTranslator* translator = InstallQtTranslations(*qApp, TInterfaceLanguage::ilJapanese);
    ASSERT_NE(translator, nullptr) << "Qt's translations (qt6-translations-l10n) are installed";
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QString::fromUtf8("キャンセル"));
    QCoreApplication::removeTranslator(translator);
    delete translator;

    EXPECT_EQ(InstallQtTranslations(*qApp, TInterfaceLanguage::ilEnglish), nullptr);
    QDialogButtonBox english(QDialogButtonBox::Cancel);
    EXPECT_EQ(english.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancel"));
}

// The messages that reach the handler installed before the filter.
std::vector<QString> Passed;

void Capture(QtMsgType, const QMessageLogContext&, const QString& text)
{
    Passed.push_back(text);
}

TEST(OffscreenNotices, DropsOnlyThePlatformsNotices)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    Passed.clear();
    const QtMessageHandler before = qInstallMessageHandler(Capture);
    {
        TOffscreenNotices notices;
        qWarning("This plugin does not support propagateSizeHints()");
        qWarning("This plugin does not support raise()");
        qWarning("QPainter::begin: Paint device returned engine == 0, type: 1");
        qCritical("This plugin does not support a critical thing");
    }
    qWarning("This plugin does not support propagateSizeHints()");
    qInstallMessageHandler(before);
    EXPECT_EQ(Passed, (std::vector<QString>{"QPainter::begin: Paint device returned engine == 0, type: 1",
                                            "This plugin does not support a critical thing",
                                            "This plugin does not support propagateSizeHints()"}));
}

}  // namespace
