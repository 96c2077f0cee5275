// The window and its dialogs in each interface language: in English no
// Japanese is left anywhere a user reads (the menus, the actions and their
// tool tips, the status bar, the labels and buttons of the dialogs), and in
// Japanese the texts are the Japanese ones.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QListWidget>
#include <string>
#include <vector>

#include "app/AppCore.h"
#include "app/MusCstm.h"
#include "base/Texts.h"
#include "browser/KeyBindings.h"
#include "browser/ui/KeyCustomizeDialog.h"
#include "browser/ui/MainForm.h"
#include "browser/ui/MouseCustomizeDialog.h"
#include "export/ui/ExportDialog.h"
#include "platform/qt/QtTranslations.h"
#include "support/FakeBook.h"
#include "support/SettledForm.h"
#include "support/TempFolder.h"

namespace {

bool HasJapanese(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF))
            return true;
    }
    return false;
}

// Every text a user reads in widget and below it, each with where it is.
std::vector<std::pair<QString, QString>> ShownTexts(QWidget& widget)
{
    std::vector<std::pair<QString, QString>> texts;
    const auto add = [&texts](const QObject* owner, const QString& text) {
        if (!text.isEmpty())
            texts.emplace_back(owner->objectName() + " (" + owner->metaObject()->className() + ")", text);
    };
    add(&widget, widget.windowTitle());
    for (QMenu* menu : widget.findChildren<QMenu*>()) {
        // Menus whose items are made as they open.
        Q_EMIT menu->aboutToShow();
        add(menu, menu->title());
    }
    for (const QAction* action : widget.findChildren<QAction*>()) {
        add(action, action->text());
        add(action, action->toolTip());
        add(action, action->iconText());
    }
    for (const QLabel* label : widget.findChildren<QLabel*>())
        add(label, label->text());
    for (const QAbstractButton* button : widget.findChildren<QAbstractButton*>()) {
        add(button, button->text());
        add(button, button->toolTip());
    }
    for (const QGroupBox* box : widget.findChildren<QGroupBox*>())
        add(box, box->title());
    for (const QTabWidget* tabs : widget.findChildren<QTabWidget*>())
        for (int i = 0; i < tabs->count(); ++i)
            add(tabs, tabs->tabText(i));
    for (const QComboBox* box : widget.findChildren<QComboBox*>())
        for (int i = 0; i < box->count(); ++i)
            add(box, box->itemText(i));
    for (const QListWidget* list : widget.findChildren<QListWidget*>())
        for (int i = 0; i < list->count(); ++i)
            add(list, list->item(i)->text());
    for (const QTreeWidget* tree : widget.findChildren<QTreeWidget*>()) {
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            add(tree, tree->topLevelItem(i)->text(0));
    }
    for (const QHeaderView* header : widget.findChildren<QHeaderView*>()) {
        if (!header->model())
            continue;
        for (int i = 0; i < header->count(); ++i)
            add(header, header->model()->headerData(i, header->orientation()).toString());
    }
    return texts;
}

void ExpectNoJapanese(QWidget& widget)
{
    const auto texts = ShownTexts(widget);
    EXPECT_GT(texts.size(), 10u) << widget.metaObject()->className();
    for (const auto& [where, text] : texts)
        EXPECT_FALSE(HasJapanese(text)) << where.toStdString() << ": " << text.toStdString();
}

QString MenuTitles(const QMenuBar& bar)
{
    QStringList titles;
    for (const QAction* action : bar.actions())
        titles << action->text();
    return titles.join('|');
}

struct TLanguageRow {
    const char* Name;
    TInterfaceLanguage Language;
    const char* MenuTitles;
    const char* OpenAction;  // the File menu's first item, without its key
    const char* FilesPanel;  // the status bar's count of the book's pictures
};

const TLanguageRow LanguageRows[] = {
    {"Japanese", TInterfaceLanguage::ilJapanese,
     "ファイル(&F)|編集(&E)|移動(&M)|イメージ(&I)|表示(&V)|オプション(&O)|ヘルプ(&H)", "開く(&O)...", "1 / 3 ファイル"},
    {"English", TInterfaceLanguage::ilEnglish, "&File|&Edit|&Move|&Image|&View|&Options|&Help", "&Open...",
     "1 / 3 files"},
};

class InterfaceLanguageWindowTest : public testing::TestWithParam<TLanguageRow> {
protected:
    void SetUp() override { ASSERT_TRUE(InstallProgramTranslations(GetParam().Language)); }
    // The windows are gone by now, and with them every thread that shows texts.
    void TearDown() override { InstallTranslator(nullptr); }
};

TEST_P(InterfaceLanguageWindowTest, WindowShowsItsTextsInTheLanguage)
{
    const TLanguageRow& row = GetParam();
    TFakeProgram program;
    program.WriteBook(3);
    std::unique_ptr<TAppCore> core = program.Start({"book"});
    std::vector<std::string> messages;
    std::unique_ptr<TMainForm> form = ShowSettledForm(*core, messages, {1000, 700});

    EXPECT_EQ(MenuTitles(*form->menuBar()).toStdString(), row.MenuTitles);
    const QAction* open = form->findChild<QAction*>("actOpen");
    ASSERT_TRUE(open);
    EXPECT_EQ(open->text().section('\t', 0, 0).toStdString(), row.OpenAction);
    EXPECT_THAT(form->StatusPanels().Texts, testing::Contains(std::string(row.FilesPanel)));
    if (row.Language == TInterfaceLanguage::ilEnglish)
        ExpectNoJapanese(*form);
    EXPECT_TRUE(messages.empty());
}

TEST_P(InterfaceLanguageWindowTest, DialogsShowTheirTextsInTheLanguage)
{
    const TLanguageRow& row = GetParam();
    TKeyCustomizeDialog keys(DefaultKeyBindings(), TScrollOptions{}, 0);
    TMouseCustomizeDialog mouse(DefaultMouseBindings(), TScrollOptions{}, TMouseOptions{}, 1);
    TTempFolder data;
    TFileExportDialog exporting(data.Path(), data.File("Mireva.ini"));
    if (row.Language == TInterfaceLanguage::ilEnglish) {
        ExpectNoJapanese(keys);
        ExpectNoJapanese(mouse);
        ExpectNoJapanese(exporting);
    } else {
        EXPECT_EQ(keys.windowTitle().toStdString(), "キーカスタマイズ");
        EXPECT_EQ(mouse.windowTitle().toStdString(), "マウスカスタマイズ");
        EXPECT_EQ(exporting.windowTitle().toStdString(), "CSV形式で出力");
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, InterfaceLanguageWindowTest, testing::ValuesIn(LanguageRows),
                         [](const testing::TestParamInfo<TLanguageRow>& info) { return info.param.Name; });

}  // namespace
