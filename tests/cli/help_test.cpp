// The help tables against what the code accepts, the README against the help tables, and the
// answers of tarkemo-cli to --help, -h, help, COMMAND --help, --version and wrong usage.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "cli/commands.h"
#include "cli/count_options.h"
#include "cli/help.h"
#include "tarkemo_version.h"

namespace tarkemo::cli {
namespace {

TEST(HelpTable, EveryCommandHasItsOwnCompleteHelp) {
    for (const CommandDef& command : AllCommands()) {
        SCOPED_TRACE(std::string(command.name));
        const CommandHelp& help = command.help();
        EXPECT_EQ(help.name, command.name);
        EXPECT_TRUE(help.synopsis.starts_with(std::string(command.name) + " "));
        EXPECT_FALSE(help.summary.empty());
        for (const OptionHelp& option : help.options) {
            EXPECT_TRUE(option.name.starts_with("--")) << option.name;
            EXPECT_FALSE(option.text.empty()) << option.name;
        }
        // Steps listed without the code's list to compare with could drift unnoticed.
        EXPECT_EQ(help.steps.empty(), help.acceptedSteps == nullptr);
    }
}

// A step the code accepts but the help does not list (or the other way round) fails here.
TEST(HelpTable, StepListsAreExactlyTheStepsTheCodeAccepts) {
    for (const CommandDef& command : AllCommands()) {
        const CommandHelp& help = command.help();
        if (!help.acceptedSteps) continue;
        SCOPED_TRACE(std::string(command.name));
        // One step may have several help rows (mark=L,B,R,T and mark=all), but none is left out.
        std::set<std::string> listed;
        for (const StepHelp& step : help.steps) listed.insert(StepKey(step.form));
        const std::vector<std::string> accepted = help.acceptedSteps();
        EXPECT_EQ(listed, std::set<std::string>(accepted.begin(), accepted.end()));
    }
}

TEST(HelpTable, ApplyListsEveryStepOfTheStepTable) {
    EXPECT_GE(ApplyHelp().acceptedSteps().size(), 26u);
    EXPECT_EQ(StepKey("rank=W,H,R"), "rank=");
    EXPECT_EQ(StepKey("not"), "not");
}

const OptionHelp& FindOption(const CommandHelp& help, std::string_view name) {
    for (const OptionHelp& option : help.options) {
        if (option.name == name) return option;
    }
    ADD_FAILURE() << "no help for " << name;
    static const OptionHelp none{};
    return none;
}

TEST(HelpTable, CountOptionsInTheHelpAreAcceptedByTheParser) {
    for (const OptionHelp& option : CountHelp().options) {
        std::vector<std::string> args{std::string(option.name)};
        if (!option.value.empty()) args.push_back("1");
        args.push_back("image.bmp");
        Status status;
        ParseCountOptions(args, status);
        EXPECT_FALSE(status.message.starts_with("Unbekannte Option")) << option.name;
    }
}

TEST(HelpTable, CountDefaultsInTheHelpAreThoseOfTheParser) {
    const std::vector<std::string> args{"image.bmp"};
    Status status;
    const auto options = ParseCountOptions(args, status);
    ASSERT_TRUE(options);
    const struct {
        const char* option;
        std::string actual;
    } cases[] = {
        {"--min-gray", std::to_string(options->params.minGray)},
        {"--min-area", std::to_string(options->params.minArea)},
        {"--max-area", std::to_string(options->params.maxArea)},
        {"--method", options->method == CountMethod::Maxima ? "maxima" : "?"},
        {"--german", options->germanNumbers ? "?" : "Dezimalpunkt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindOption(CountHelp(), c.option).defaultValue, c.actual) << c.option;
}

// ---- README ----

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// "N: <readme line> | <help line>" for the first line where the two texts differ.
std::string FirstDifferentLine(const std::string& readme, const std::string& help) {
    std::istringstream a(readme), b(help);
    std::string lineA, lineB;
    for (int n = 1;; ++n) {
        const bool moreA = static_cast<bool>(std::getline(a, lineA));
        const bool moreB = static_cast<bool>(std::getline(b, lineB));
        if (!moreA && !moreB) return "?";
        if (!moreA || !moreB || lineA != lineB)
            return std::to_string(n) + ":\n  README: " + lineA + "\n  help:   " + lineB;
    }
}

struct Section {
    std::string name;
    std::string markdown;
};

std::vector<Section> ReadmeSections() {
    std::vector<Section> sections{{"overview", OverviewMarkdown()}};
    for (const CommandDef& command : AllCommands()) {
        sections.push_back({std::string(command.name), CommandHelpMarkdown(command.help())});
    }
    return sections;
}

// The README's CLI tables are the help tables: each sits between two markers. With
// TARKEMO_UPDATE_README set, the test writes the current tables into the README instead.
TEST(Readme, CliSectionsAreTheHelpTables) {
    std::string readme = ReadFile(TARKEMO_README);
    ASSERT_FALSE(readme.empty());
    const bool update = std::getenv("TARKEMO_UPDATE_README") != nullptr;
    for (const Section& section : ReadmeSections()) {
        const std::string begin = "<!-- BEGIN tarkemo-cli help " + section.name + " -->\n";
        const std::string end = "<!-- END tarkemo-cli help " + section.name + " -->\n";
        const size_t from = readme.find(begin);
        const size_t to = readme.find(end);
        ASSERT_NE(from, std::string::npos) << "README lacks " << begin;
        ASSERT_NE(to, std::string::npos) << "README lacks " << end;
        const size_t start = from + begin.size();
        if (update) {
            readme.replace(start, to - start, section.markdown);
            continue;
        }
        const std::string inReadme = readme.substr(start, to - start);
        EXPECT_TRUE(inReadme == section.markdown)
            << "README section " << section.name << " differs from the help table at line "
            << FirstDifferentLine(inReadme, section.markdown) << "\nRerun with TARKEMO_UPDATE_README=1.";
    }
    if (update) std::ofstream(TARKEMO_README, std::ios::binary) << readme;
}

// ---- The program's answers ----

struct Answer {
    int status = -1;
    std::string out, err;
};

Answer RunCliSplit(const std::string& args) {
    const std::string errFile = ::testing::TempDir() + "help_test_stderr.txt";
    const std::string command = "'" TARKEMO_CLI_PATH "' " + args + " 2>'" + errFile + "'";
    Answer answer;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return answer;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) answer.out.append(buffer, n);
    const int raw = pclose(pipe);
    answer.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    answer.err = ReadFile(errFile);
    return answer;
}

TEST(HelpAnswers, OverviewOnStdoutForEverySpelling) {
    for (const char* args : {"--help", "-h", "help"}) {
        const Answer answer = RunCliSplit(args);
        EXPECT_EQ(answer.status, 0) << args;
        EXPECT_EQ(answer.out, OverviewText()) << args;
        EXPECT_EQ(answer.err, "") << args;
    }
}

TEST(HelpAnswers, CommandHelpOnStdoutForEverySpelling) {
    for (const CommandDef& command : AllCommands()) {
        const std::string name(command.name);
        for (const std::string& args :
             {name + " --help", name + " -h", "help " + name, name + " x.bmp --help"}) {
            const Answer answer = RunCliSplit(args);
            EXPECT_EQ(answer.status, 0) << args;
            EXPECT_EQ(answer.out, CommandHelpText(command.help())) << args;
            EXPECT_EQ(answer.err, "") << args;
        }
    }
}

TEST(HelpAnswers, CommandHelpListsEveryOptionDefaultAndStep) {
    for (const CommandDef& command : AllCommands()) {
        const Answer answer = RunCliSplit(std::string(command.name) + " --help");
        for (const OptionHelp& option : command.help().options) {
            EXPECT_NE(answer.out.find("  " + std::string(option.name)), std::string::npos) << option.name;
            if (!option.defaultValue.empty()) {
                EXPECT_NE(answer.out.find("(Vorgabe: " + std::string(option.defaultValue) + ")"),
                          std::string::npos)
                    << option.name;
            }
        }
        for (const StepHelp& step : command.help().steps) {
            EXPECT_NE(answer.out.find("\n  " + std::string(step.form)), std::string::npos) << step.form;
        }
    }
}

TEST(HelpAnswers, VersionIsTheProgramsVersion) {
    const Answer answer = RunCliSplit("--version");
    EXPECT_EQ(answer.status, 0);
    EXPECT_EQ(answer.out, "tarkemo-cli " + std::string(kVersion) + "\n");
}

// Wrong usage: exit status 2, nothing on stdout, the message and the command's usage on stderr.
TEST(HelpAnswers, WrongUsageNamesTheUsageOnStderr) {
    const struct {
        const char* args;
        const char* message;  // expected at the start of stderr
        const char* usage;    // expected in stderr
    } cases[] = {
        {"count", "Aufruf: tarkemo-cli count [OPTIONEN] BILD...\n", "Mehr dazu: tarkemo-cli count --help\n"},
        {"count --bogus x.bmp", "Unbekannte Option: --bogus\n",
         "Aufruf: tarkemo-cli count [OPTIONEN] BILD...\n"},
        {"count --min-gray 300 x.bmp", "Ungültiger Wert zu --min-gray", "Aufruf: tarkemo-cli count "},
        {"info", "Aufruf: tarkemo-cli info BILD\n", "Mehr dazu: tarkemo-cli info --help\n"},
        {"convert a.bmp", "Aufruf: tarkemo-cli convert EIN AUSGABE.bmp\n", "Mehr dazu"},
        {"apply a.bmp", "Aufruf: tarkemo-cli apply [--yes] EIN AUSGABE.bmp SCHRITT...\n", "apply --help"},
        {"apply --bogus a b not", "Unbekannte Option: --bogus\n", "Aufruf: tarkemo-cli apply "},
        {"palette import a b", "Aufruf: tarkemo-cli palette export BILD AUSGABE.rgb\n", "palette --help"},
        {"completion zsh", "Aufruf: tarkemo-cli completion bash\n", "completion --help"},
        {"bogus", "Unbekannter Befehl: bogus\n", "Mehr dazu: tarkemo-cli --help\n"},
        {"help bogus", "Unbekannter Befehl: bogus\n", "Befehle: info convert apply count"},
        {"", "tarkemo-cli ", "Aufruf:\n  tarkemo-cli info BILD\n"},
    };
    for (const auto& c : cases) {
        const Answer answer = RunCliSplit(c.args);
        EXPECT_EQ(answer.status, 2) << c.args;
        EXPECT_EQ(answer.out, "") << c.args;
        EXPECT_TRUE(answer.err.starts_with(c.message)) << c.args << "\n" << answer.err;
        EXPECT_NE(answer.err.find(c.usage), std::string::npos) << c.args << "\n" << answer.err;
    }
}

// After "--" a file may be called --help.
TEST(HelpAnswers, HelpAfterDoubleDashIsAFileName) {
    const Answer answer = RunCliSplit("count -- --help");
    EXPECT_EQ(answer.status, 3);
    EXPECT_EQ(answer.out, "");
    EXPECT_NE(answer.err.find("--help"), std::string::npos);
}

}  // namespace
}  // namespace tarkemo::cli
