// The command table and the menu bar built from it: every command once, unique shortcuts, complete
// rows, the menu order and texts, and the enable rules of the menu state.
#include <gtest/gtest.h>

#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "app/shell/command_line.h"
#include "app/shell/commands.h"
#include "app/support/app_fixture.h"

namespace tarkemo::app {
namespace {

using testing::AppTest;

// Every command id of the main menu, in menu order, and the two reserved ones.
const std::vector<int> kExpectedIds = {
    40001, 40146, 40007, 40003, 40004, 40006, 40008, 40005, 40027, 40034, 40028, 40101, 40039, 40129, 40042,
    40040, 40041, 40043, 40112, 40113, 40114, 40115, 40116, 40117, 40035, 40036, 40164, 40037, 40038, 40162,
    40105, 40110, 40104, 40151, 40108, 40149, 40109, 40158, 40013, 40018, 40020, 40019, 40009, 40022, 40021,
    40023, 40024, 40132, 40014, 40065, 40139, 40140, 40141, 40046, 40048, 40045, 40054, 40047, 40142, 40143,
    40144, 40050, 40052, 40049, 40055, 40051, 40029, 40030, 40053, 40015, 40056, 40057, 40058, 40059, 40060,
    40061, 40062, 40063, 40064, 40016, 40106, 40107, 40100, 40103, 40130, 40111, 40017, 40167, 40170};

const std::set<int> kSeparatorAfter = {40006, 40101, 40042, 40110, 40149, 40009,
                                       40065, 40047, 40053, 40016, 40130};

TEST(CommandTable, ListsEveryCommandOnceInMenuOrder) {
    std::vector<int> ids;
    for (const CommandRow& row : CommandTable()) ids.push_back(row.id);
    EXPECT_EQ(ids, kExpectedIds);
}

TEST(CommandTable, RowsAreCompleteAndShortcutsUnique) {
    std::set<std::string> keys;
    std::set<int> separators;
    for (const CommandRow& row : CommandTable()) {
        SCOPED_TRACE(row.id);
        EXPECT_NE(std::string(row.text), "");
        ASSERT_NE(FindPopup(row.menu), nullptr);
        if (row.key != nullptr) {
            EXPECT_TRUE(keys.insert(row.key).second) << "shortcut used twice: " << row.key;
            EXPECT_NE(std::string(row.label), "") << "a key without a label";
            EXPECT_FALSE(QKeySequence(QString::fromLatin1(row.key), QKeySequence::PortableText).isEmpty());
        }
        if (row.check == CheckRule::kPenSize) {
            EXPECT_GE(row.checkValue, 1);
            EXPECT_LE(row.checkValue, 9);
        }
        if (row.separatorAfter) separators.insert(row.id);
    }
    EXPECT_EQ(separators, kSeparatorAfter);
}

TEST(CommandTable, LabelsWithoutKeysAreThoseOfTheOriginalProgram) {
    // Labels shown although no key sends the command: Ctrl+1 does nothing, Alt+F4 is the system's.
    for (int id : {40056, 40164, 40005}) {
        const CommandRow* row = FindCommand(id);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->key, nullptr) << id;
        EXPECT_NE(std::string(row->label), "") << id;
    }
    EXPECT_STREQ(FindCommand(40162)->key, "Alt+.");
    EXPECT_EQ(MenuEntryText(*FindCommand(40056)), QString("Rechteck (3x3)\tStrg+1"));
    EXPECT_EQ(MenuEntryText(*FindCommand(40035)), QString("&Horizontal\tStrg+Runter"));
    EXPECT_EQ(FindCommand(99999), nullptr);
}

struct RuleCase {
    const char* name;
    EnableRule rule;
    MenuStateInput input;
    bool enabled;
};

MenuStateInput Doc(int32_t w, int32_t h, bool grayRamp = true) {
    MenuStateInput in;
    in.hasDocument = true;
    in.documentWidth = w;
    in.documentHeight = h;
    in.grayRamp = grayRamp;
    return in;
}

MenuStateInput WithClipboard(MenuStateInput in, int32_t w, int32_t h) {
    in.clipboardHasImage = true;
    in.clipboardWidth = w;
    in.clipboardHeight = h;
    return in;
}

TEST(CommandTable, EnableRulesFollowTheDocumentAndClipboard) {
    MenuStateInput withPath = Doc(100, 80);
    withPath.hasPath = true;
    const RuleCase cases[] = {
        {"always without document", EnableRule::kAlways, {}, true},
        {"document rule without document", EnableRule::kDocument, {}, false},
        {"document rule", EnableRule::kDocument, Doc(1, 1), true},
        {"save without path", EnableRule::kDocumentWithPath, Doc(1, 1), false},
        {"save with path", EnableRule::kDocumentWithPath, withPath, true},
        {"palette editor on gray", EnableRule::kGrayRampDocument, Doc(1, 1, true), true},
        {"palette editor on false colours", EnableRule::kGrayRampDocument, Doc(1, 1, false), false},
        {"gray palette on false colours", EnableRule::kFalseColourDocument, Doc(1, 1, false), true},
        {"gray palette on gray", EnableRule::kFalseColourDocument, Doc(1, 1, true), false},
        {"paste with any image", EnableRule::kClipboardImage, WithClipboard({}, 0, 0), true},
        {"paste without image", EnableRule::kClipboardImage, {}, false},
        {"operand of equal size", EnableRule::kClipboardOperand, WithClipboard(Doc(100, 80), 100, 80), true},
        {"operand one row taller", EnableRule::kClipboardOperand, WithClipboard(Doc(100, 80), 100, 81),
         false},
        {"operand stored top-down", EnableRule::kClipboardOperand, WithClipboard(Doc(100, 80), 100, -80),
         false},
        {"operand not 8-bit", EnableRule::kClipboardOperand, WithClipboard(Doc(100, 80), 0, 0), false},
        {"operand without document", EnableRule::kClipboardOperand, WithClipboard({}, 0, 0), false},
        {"undo without snapshot", EnableRule::kUndoAvailable, Doc(1, 1), false},
    };
    for (const RuleCase& c : cases) EXPECT_EQ(RuleEnables(c.rule, c.input), c.enabled) << c.name;
}

struct CommandLineCase {
    const char* text;
    int id;  // 0: ignored
    const char* path;
};

TEST(CommandLine, EndingsNameTheStartupCommand) {
    const CommandLineCase cases[] = {
        {"\"/tmp/a b/bild.bmp\"", 40167, "/tmp/a b/bild.bmp"},
        {"/tmp/bild.BmP", 40167, "/tmp/bild.BmP"},
        {"\"x.bmp", 40167, "x.bmp"},
        {"messung.IMX", 40170, "messung.IMX"},
        {"messung.img", 40170, "messung.img"},
        // Any other name goes to open-at-start, which refuses it with a message.
        {".bmp", 40167, ".bmp"},
        {"\".imx\"", 40167, ".imx"},
        {"bild.tif", 40167, "bild.tif"},
        {"\"\"", 0, ""},
        {"", 0, ""},
    };
    for (const CommandLineCase& c : cases) {
        const auto command = StartupCommandFor(c.text);
        if (c.id == 0) {
            EXPECT_FALSE(command.has_value()) << c.text;
            continue;
        }
        ASSERT_TRUE(command.has_value()) << c.text;
        EXPECT_EQ(command->id, c.id) << c.text;
        EXPECT_EQ(command->path, QString(c.path));
    }
    EXPECT_EQ(ArgumentText({"tarkemo", "/tmp/a", "b.bmp"}), QString("/tmp/a b.bmp"));
}

// Walks a menu and collects, per popup title, the ids of its entries and "-" for separators.
void CollectMenu(QMenu* menu, const std::map<QAction*, int>& idOf, std::map<QString, std::vector<int>>& out,
                 std::set<QAction*>& seen) {
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            out[menu->title()].push_back(-1);
        } else if (action->menu() != nullptr) {
            CollectMenu(action->menu(), idOf, out, seen);
        } else {
            ASSERT_TRUE(idOf.contains(action))
                << "action not from the table: " << action->text().toStdString();
            EXPECT_TRUE(seen.insert(action).second);
            out[menu->title()].push_back(idOf.at(action));
        }
    }
}

TEST_F(AppTest, MenuBarHoldsExactlyTheTableInOrder) {
    std::map<QAction*, int> idOf;
    for (const CommandRow& row : CommandTable()) idOf[window_->Action(row.id)] = row.id;
    std::vector<QString> titles;
    std::map<QString, std::vector<int>> entries;
    std::set<QAction*> seen;
    for (QAction* top : window_->menuBar()->actions()) {
        ASSERT_NE(top->menu(), nullptr);
        titles.push_back(top->menu()->title());
        CollectMenu(top->menu(), idOf, entries, seen);
    }
    EXPECT_EQ(titles, (std::vector<QString>{"&Datei", "Hilfs&mittel", "&Berechnungen", "&Partikel zählen",
                                            "&Hilfe"}));
    EXPECT_EQ(seen.size(), CommandTable().size() - 2);  // all but the two reserved ids
    EXPECT_FALSE(seen.contains(window_->Action(40167)));
    EXPECT_FALSE(seen.contains(window_->Action(40170)));
    EXPECT_EQ(entries["&Datei"],
              (std::vector<int>{40001, 40146, 40007, 40003, 40004, 40006, -1, 40008, 40005}));
    EXPECT_EQ(entries["&Spiegeln"], (std::vector<int>{40035, 40036, 40164}));
    EXPECT_EQ(entries["Zeichens&tift"],
              (std::vector<int>{40042, -1, 40040, 40041, 40043, 40112, 40113, 40114, 40115, 40116, 40117}));
    // The sub-popups of "Hilfsmittel" sit between 40129 and 40013, as in the table's order.
    QMenu* tools = window_->menuBar()->actions()[1]->menu();
    const QList<QAction*> toolActions = tools->actions();
    ASSERT_EQ(toolActions.size(), 12);
    EXPECT_EQ(toolActions[6], window_->Action(40129));
    QStringList subPopups;
    for (int i = 7; i <= 10; ++i) subPopups << toolActions[i]->menu()->title();
    EXPECT_EQ(subPopups,
              (QStringList{"Zeichens&tift", "&Spiegeln", "&Drehen", "Graustufen / &Falschfarben"}));
    EXPECT_EQ(toolActions[11], window_->Action(40013));
    EXPECT_EQ(toolActions[11]->text(), QString("Bitmap&größe ändern...\tStrg+Shift+G"));
}

TEST_F(AppTest, InitialCheckMarksAndShortcuts) {
    std::set<int> checked;
    for (const CommandRow& row : CommandTable()) {
        if (window_->Action(row.id)->isChecked()) checked.insert(row.id);
    }
    EXPECT_EQ(checked, (std::set<int>{40027, 40041, 40106}));
    EXPECT_EQ(window_->Action(40162)->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Period));
    EXPECT_EQ(window_->Action(40035)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Down));
    EXPECT_TRUE(window_->Action(40056)->shortcut().isEmpty());
    EXPECT_EQ(window_->Action(40008)->text(), QString("&Rückgängig\tStrg+Z"));
    EXPECT_EQ(window_->CommandText(40020), QString("&AND (bitweises UND)..."));
}

TEST_F(AppTest, CommandsWithoutHandlerDoNothingAndKeepTheirMarks) {
    OpenPattern();
    const QString title = Title();
    for (int id : {40035, 40108, 99999}) window_->Dispatch(id);
    EXPECT_EQ(Title(), title);
    EXPECT_TRUE(window_->Action(40027)->isChecked());
    EXPECT_FALSE(window_->Action(40034)->isChecked());
    window_->Settings().penSize = 5;
    window_->RecomputeCommandStates();
    EXPECT_TRUE(window_->Action(40113)->isChecked());
    EXPECT_FALSE(window_->Action(40041)->isChecked());
}

}  // namespace
}  // namespace tarkemo::app
