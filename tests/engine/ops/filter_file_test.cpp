#include "ops/filter_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ops/border_extension.h"

namespace tarkemo {
namespace {

const std::string kHead = "Tarkemo - Linear Filter: Test\r\n";
const std::string kOneByOne = "Matrix: 1 x 1\r\n1\r\n";

FilterFileResult Parse(const std::string& text, LinearFilter* out = nullptr) {
    LinearFilter filter;
    const FilterFileResult result = ParseLinearFilterText(text, filter);
    if (out) *out = filter;
    return result;
}

LinearFilter Accepted(const std::string& text) {
    LinearFilter filter;
    const FilterFileResult result = Parse(text, &filter);
    EXPECT_EQ(result.outcome, FilterFileOutcome::kAccepted) << text;
    EXPECT_FALSE(result.message.has_value()) << text << "\n" << (result.message ? result.message->text : "");
    return filter;
}

constexpr auto kWarning = FilterMessageIcon::kWarning;
constexpr auto kError = FilterMessageIcon::kError;

struct FaultCase {
    std::string text;  // the whole file
    std::string message;
    FilterMessageIcon icon;
};

TEST(FilterFileTest, EveryFaultGivesItsMessage) {
    const std::string h = kHead;
    const std::string m = kOneByOne;
    const std::string border =
        "Unbekannter Parameter für 'Border' angegeben!\nMögliche Parameter sind:\n\tFlipExc\t\t(Spiegeln "
        "ohne "
        "Randpixel)\n\tFlipInc\t\t(Spiegeln inklusive Randpixel)\n\tPeriodic\t\t(Bitmap periodisch "
        "wiederholen)\n\tLocalMean\t(Lokale Mittelwerte)\n\tCoeffSum\t\t(Durch Koeff.-Summe "
        "dividieren)\n\tFillWith [Grauwert]\t(Mit angegebenem Grauwert füllen)\n\tFillWith Avg\t(Mit "
        "mittlerem "
        "Grauwert füllen)";
    const std::string sign =
        "Unbekannter Parameter für 'Sign:' angegeben!\nMögliche Parameter sind:\n\tKeep\t\t(Vorzeichen "
        "beibehalten)\n\tNegativeToZero\t(Negative Werte gleich Null setzen)\n\tABS\t\t(Betrag bilden)\n";
    const std::string normalize =
        "Unbekannter Parameter für 'Normalize:' angegeben!\nMögliche Parameter sind:\n\tGlobal\t(Global "
        "normalisieren)\n\tDoNot\t(Nicht normalisieren)\n";
    const std::string fillWithBad =
        "Parameter zu 'Border: FillWith' fehlerhaft! Erwarte ganze Zahl (0-255) oder 'Avg'.";
    const std::string divByBad = "Fehlerhafter Parameter zu 'DivBy:'! Fließkommazahl ungleich 0 erwartet!";
    const std::string offsetBad =
        "Fehlerhafter Parameter zu 'AddOffset:'! Fließkommazahl ungleich 0 erwartet!";
    const std::string identification =
        "Datei wurde nicht eindeutig als lineares Filter von Tarkemo erkannt. Die Kennung (in der ersten "
        "Zeile) "
        "fehlt!";
    const FaultCase cases[] = {
        {"", identification, kError},
        {"Tarkemo - Linear filter: x\r\n" + m, identification, kError},
        {" Tarkemo - Linear Filter: x\r\n" + m, identification, kError},
        {"/* first */Tarkemo - Linear Filter: x\r\n" + m, identification, kError},
        {h + "Foo: 3\r\n", "Unbekanntes Schlüsselwort: 'Foo:'", kError},
        {h + m + "Matrixx 1x1\r\n", "Unbekanntes Schlüsselwort: 'Matrixx'", kError},
        {h + "matrix: 1x1\r\n1\r\n", "Unbekanntes Schlüsselwort: 'matrix:'", kError},
        {h + "Mat: 1x1\r\n1\r\n", "Unbekanntes Schlüsselwort: 'Mat:'", kError},
        {h + "Sign:ABS Zahl\xe4:\r\n", "Unbekanntes Schlüsselwort: 'Zahlä:'", kError},
        {h + "Matrix:", "Definition der Matrix fehlt!", kWarning},
        {h + "Matrix: \r\n  ", "Definition der Matrix fehlt!", kWarning},
        {h + "Matrix: 3 x 3 \r\n", "Definition der Matrix fehlt!", kWarning},
        {h + "Matrix: 1 x 1\r\n1", "Definition der Matrix fehlt!", kWarning},
        {h + "Matrix: 1 x 3\r\n1 2 ", "Definition der Matrix fehlt!", kWarning},
        {h + "Matrix: 3 x 1\r\n1\r\n2\r\n", "Definition der Matrix fehlt!", kWarning},
        {h + "Matrix: 3", "Definition der Matrix unvollständig!", kWarning},
        {h + "Matrix: 3 x ", "Definition der Matrix unvollständig!", kWarning},
        {h + "Matrix: 3 x 3", "Definition der Matrix unvollständig!", kWarning},
        {h + "Matrix: 2 x 3\r\n", "Höhe der Matrix ungültig!", kWarning},
        {h + "Matrix: 0 x 1\r\n", "Höhe der Matrix ungültig!", kWarning},
        {h + "Matrix: x 3\r\n", "Höhe der Matrix ungültig!", kWarning},
        {h + "Matrix: -3 x 3\r\n", "Höhe der Matrix ungültig!", kWarning},
        {h + "Matrix: 3 xx 3\r\n", "Definition der Dimension der Matrix ungültig!", kWarning},
        {h + "Matrix: 3 * X 3\r\n", "Definition der Dimension der Matrix ungültig!", kWarning},
        {h + "Matrix: 3 x 4\r\n", "Breite der Matrix ungültig!", kWarning},
        {h + "Matrix: 3 x\r\n3\r\n", "Breite der Matrix ungültig!", kWarning},
        {h + "Matrix: 3 x 00\r\n", "Breite der Matrix ungültig!", kWarning},
        {h + "Matrix: 99999 x 99999\r\n1\r\n", "Nicht gegügend Speicher für die Matrix!", kWarning},
        {h + "Matrix: 99999999999999999999999 x 1\r\n1\r\n", "Nicht gegügend Speicher für die Matrix!",
         kWarning},
        {h + "Matrix: 1 x 1 ::\r\n1\r\n", "Definition der Matrix ungültig!", kWarning},
        {h + "Matrix: 1 x 1\r\nabc\r\n", "Definition der Matrix ungültig!", kWarning},
        {h + "Matrix: 1 x 1\r\n1e39\r\n", "Definition der Matrix ungültig!", kWarning},
        {h + "Matrix: 1 x 1\r\n-1e999\r\n", "Definition der Matrix ungültig!", kWarning},
        {h + "Matrix: 1 x 1\r\ninf\r\n", "Definition der Matrix ungültig!", kWarning},
        {h + "Matrix: 1 x 1\r\n0x10\r\n",
         "Definition der Matrix ungültig! Erwarte Return am Ende jeder Zeile.", kWarning},
        {h + "Matrix: 3 x 3\r\n1 2 3\r\n4 5\r\n7 8 9\r\n",
         "Definition der Matrix ungültig! Return vor Ende einer Zeile gefunden.", kWarning},
        {h + "Matrix: 1 x 1\r\n1 2\r\n",
         "Definition der Matrix ungültig! Erwarte Return am Ende jeder Zeile.", kWarning},
        {h + "Matrix: 1 x 1\r\n1e\r\n", "Definition der Matrix ungültig! Erwarte Return am Ende jeder Zeile.",
         kWarning},
        {h + "Matrix: 1 x 3\r\n1e 2 3\r\n", "Definition der Matrix ungültig!", kWarning},
        {h + "Matrix: 1 x 1\r\n1,\r\n", "Definition der Matrix ungültig! Erwarte Return am Ende jeder Zeile.",
         kWarning},
        {h + "Matrix: 3 x 1\r\n1\r\n\r\n2\r\n3\r\n",
         "Erwarte nächste Zeile der Matrix! Stattdessen Return gefunden.", kWarning},
        {h + "Matrix: 3 x 1\r\n1\r\n \t\n2\r\n3\r\n",
         "Erwarte nächste Zeile der Matrix! Stattdessen Return gefunden.", kWarning},
        {h + m + "Border:\r\n", "Parameter zu 'Border' fehlt!", kWarning},
        {h + m + "Border:   ", "Parameter zu 'Border' fehlt!", kWarning},
        {h + m + "Border: FlipExc", "Parameter zu 'Border' fehlt!", kWarning},
        {h + m + "Border: Mirror\r\n", border, kWarning},
        {h + m + "Border: flipexc\r\n", border, kWarning},
        {h + m + "Border: FillWith ", "Parameter zu 'Border: FillWith' fehlt (Grauwert 0-255  oder  'Avg')!",
         kWarning},
        {h + m + "Border: FillWith 256\r\n", fillWithBad, kWarning},
        {h + m + "Border: FillWith 12a\r\n", fillWithBad, kWarning},
        {h + m + "Border: FillWith avg\r\n", fillWithBad, kWarning},
        {h + m + "Border: FillWith Avgx\r\n", fillWithBad, kWarning},
        {h + m + "Border: FillWith -1\r\n", fillWithBad, kWarning},
        {h + m + "Border: FillWith\r\n12\r\n", fillWithBad, kWarning},
        {h + m + "DivBy:\r\n2\r\n", "Parameter zu 'DivBy:' fehlt! Fließkommazahl ungleich 0 erwartet!",
         kWarning},
        {h + m + "DivBy: ", "Parameter zu 'DivBy:' fehlt! Fließkommazahl ungleich 0 erwartet!", kWarning},
        {h + m + "DivBy: x\r\n", divByBad, kWarning},
        {h + m + "DivBy: 2x\r\n", divByBad, kWarning},
        {h + m + "DivBy: 1e39\r\n", divByBad, kWarning},
        {h + m + "DivBy: 0\r\n", divByBad, kWarning},
        {h + m + "DivBy: -0.0\r\n", divByBad, kWarning},
        {h + m + "DivBy: 1e-60\r\n", divByBad, kWarning},  // 0 in single precision
        {h + m + "AddOffset:\r\n", "Parameter zu 'AddOffset:' fehlt! Fließkommazahl ungleich 0 erwartet!",
         kWarning},
        {h + m + "AddOffset: \t", "Parameter zu 'AddOffset:' fehlt! Fließkommazahl ungleich 0 erwartet!",
         kWarning},
        {h + m + "AddOffset: .\r\n", offsetBad, kWarning},
        {h + m + "AddOffset: 5;\r\n", offsetBad, kWarning},
        {h + m + "AddOffset: -4e38\r\n", offsetBad, kWarning},
        {h + m + "Sign:\r\nABS\r\n", "Parameter zu 'Sign:' fehlt!", kWarning},
        {h + m + "Sign: ", "Parameter zu 'Sign:' fehlt!", kWarning},
        {h + m + "Sign: Absolute\r\n", sign, kWarning},
        {h + m + "Sign: abs\r\n", sign, kWarning},
        {h + m + "Normalize:\r\n", "Parameter zu 'Normalize:' fehlt!", kWarning},
        {h + m + "Normalize:  ", "Parameter zu 'Normalize:' fehlt!", kWarning},
        {h + m + "Normalize: Local\r\n", normalize, kWarning},
        {h, "Filter-Matrix nicht ordnungsgemäß definiert!", kError},
        {h + "Border: FlipExc\r\nDivBy: 2\r\n", "Filter-Matrix nicht ordnungsgemäß definiert!", kError},
        {h + "Matrix: 3 x 3\r\n0 0 0\r\n-1 0 1\r\n0 0 0\r\nBorder: CoeffSum\r\n",
         "Bei der angegebenen Filter-Matrix läßt sich 'CoeffSum' nicht als Parameter zu 'Border:' angeben! "
         "Die "
         "Koeffizientensumme kann Null werden, so daß sich nicht dadurch dividieren läßt!",
         kError},
    };
    for (const FaultCase& c : cases) {
        const FilterFileResult result = Parse(c.text);
        EXPECT_EQ(result.outcome, FilterFileOutcome::kRejected) << c.text;
        ASSERT_TRUE(result.message.has_value()) << c.text;
        EXPECT_EQ(result.message->text, c.message) << c.text;
        EXPECT_EQ(result.message->caption, "Lineares Filter - FEHLER") << c.text;
        EXPECT_EQ(result.message->icon, c.icon) << c.text;
        EXPECT_FALSE(result.message->question) << c.text;
    }
}

TEST(FilterFileTest, CoeffSumRejectsEveryPartialKernelThatSumsToZero) {
    const struct {
        std::string matrix;
        bool rejected;
    } cases[] = {
        {"Matrix: 1 x 3\r\n1 2 1\r\n", false},
        {"Matrix: 1 x 3\r\n1 -1 1\r\n", true},        // full sum 1, but without the left column 0
        {"Matrix: 1 x 3\r\n1 -1 3\r\n", true},        // without the right column
        {"Matrix: 3 x 1\r\n2\r\n-2\r\n5\r\n", true},  // without the bottom row
        {"Matrix: 3 x 3\r\n1 1 1\r\n1 1 1\r\n-3 -3 1\r\n", true},  // without the top row and left column
        {"Matrix: 3 x 3\r\n1 1 1\r\n1 1 1\r\n1 1 1\r\n", false},
        {"Matrix: 3 x 3\r\n0.1 0.2 0.3\r\n-0.6 0.5 0.5\r\n1 1 1\r\n", false},
        // Exactly 0 only in single precision: 1e8 + 1 - 1e8, summed from the bottom row.
        {"Matrix: 3 x 1\r\n-1e8\r\n1\r\n1e8\r\n", true},
    };
    for (const auto& c : cases) {
        LinearFilter filter;
        const FilterFileResult result = Parse(kHead + c.matrix + "Border: CoeffSum\r\n", &filter);
        EXPECT_EQ(result.outcome, c.rejected ? FilterFileOutcome::kRejected : FilterFileOutcome::kAccepted)
            << c.matrix;
        if (!c.rejected) {
            EXPECT_EQ(filter.border, 0);
            EXPECT_EQ(filter.divBy, 0.0f);
        }
    }
}

TEST(FilterFileTest, CoeffSumWithDivByAsksFirst) {
    LinearFilter filter;
    const FilterFileResult result = Parse(
        kHead + "DivBy: 9\r\nMatrix: 3 x 3\r\n1 1 1\r\n1 1 1\r\n1 1 1\r\nBorder: CoeffSum\r\n", &filter);
    ASSERT_EQ(result.outcome, FilterFileOutcome::kAskFirst);
    ASSERT_TRUE(result.message.has_value());
    EXPECT_TRUE(result.message->question);
    EXPECT_EQ(result.message->icon, kWarning);
    EXPECT_EQ(result.message->caption, "Lineares Filter - WARNUNG");
    EXPECT_EQ(
        result.message->text,
        "WARNUNG:\tObwohl als Parameter zu Border 'CoeffSum' angegeben ist,\n\t\twurde zusätzlich 'DivBy' "
        "definiert! Diese Option steht\n\t\taber bei 'CoeffSum' nicht zur Verfügung, denn 'DivBy' "
        "wird\n\t\twird "
        "dann INTERN dynamisch berechnet.\n\nWollen Sie die Filter-Operation trotzdem ausführen?\n(Der "
        "angegebene Wert für 'DivBy' wird dabei ignoriert)");
    // Answered Yes, the filter divides by the coefficient sum.
    EXPECT_EQ(filter.border, 0);
    EXPECT_EQ(filter.divBy, 0.0f);
}

TEST(FilterFileTest, ReadsTheExampleFile) {
    const LinearFilter filter = Accepted(
        "Tarkemo - Linear Filter: Laplace 3x3 /* example */\r\n"
        "Matrix: 3 x 3\r\n"
        " 0 -1  0\r\n"
        "-1  4 -1\r\n"
        " 0 -1  0\r\n"
        "Border: FlipExc\r\n"
        "AddOffset: 127\r\n");
    EXPECT_EQ(filter.name, "Laplace 3x3  ");  // the comment leaves a blank
    EXPECT_EQ(filter.width, 3);
    EXPECT_EQ(filter.height, 3);
    EXPECT_EQ(filter.kernel, (std::vector<float>{0, -1, 0, -1, 4, -1, 0, -1, 0}));
    EXPECT_EQ(filter.border, kFlipExc);
    EXPECT_EQ(filter.divBy, 1.0f);
    EXPECT_EQ(filter.addOffset, 127.0f);
    EXPECT_EQ(filter.sign, kSignKeep);
    EXPECT_EQ(filter.normalize, kNormalizeDoNot);
}

TEST(FilterFileTest, FirstWrittenRowIsTheTopRowOfTheKernel) {
    const LinearFilter filter = Accepted(kHead + "Matrix: 3 x 3\r\n1 2 3\r\n4 5 6\r\n7 8 9\r\n");
    EXPECT_EQ(filter.kernel, (std::vector<float>{7, 8, 9, 4, 5, 6, 1, 2, 3}));
    const LinearFilter wide =
        Accepted(kHead + "Matrix: 3 x 5\r\n1 2 3 4 5\r\n6 7 8 9 10\r\n11 12 13 14 15\r\n");
    EXPECT_EQ(wide.width, 5);
    EXPECT_EQ(wide.height, 3);
    EXPECT_EQ(wide.kernel[0], 11.0f);
    EXPECT_EQ(wide.kernel[14], 5.0f);
}

TEST(FilterFileTest, KeywordsAndParametersAreMatchedByPrefix) {
    const struct {
        std::string statements;
        int32_t border, sign, normalize;
    } cases[] = {
        {"Sign: A\r\nNormalize: G\r\nBorder: F\r\n", kFlipInc, kSignAbs, kNormalizeGlobal},
        {"Border: Fi 12\r\n", 12, kSignKeep, kNormalizeDoNot},
        {"Border: FillWith Avg\r\n", kMeanGray, kSignKeep, kNormalizeDoNot},
        {"Border: FillWith\t0 Sign: N\r\n", 0, kSignNegativeToZero, kNormalizeDoNot},
        {"Border: FlipE\r\n", kFlipExc, kSignKeep, kNormalizeDoNot},
        {"B P\r\nS K\r\nN D\r\n", kPeriodic, kSignKeep, kNormalizeDoNot},
        {"Bord L\r\n", kLocalMean, kSignKeep, kNormalizeDoNot},
        {"Border:FillWith 255\r\nSign:ABS Normalize:Global\r\n", 255, kSignAbs, kNormalizeGlobal},
        {"Border: FlipInc\r\nBorder: FillWith 7 \r\n", 7, kSignKeep, kNormalizeDoNot},  // the later one wins
        {"Border: FillWith 7", 7, kSignKeep, kNormalizeDoNot},  // the value may end the text
        {"", 0, kSignKeep, kNormalizeDoNot},
    };
    for (const auto& c : cases) {
        const LinearFilter filter = Accepted(kHead + kOneByOne + c.statements);
        EXPECT_EQ(filter.border, c.border) << c.statements;
        EXPECT_EQ(filter.sign, c.sign) << c.statements;
        EXPECT_EQ(filter.normalize, c.normalize) << c.statements;
    }
    for (const std::string matrix : {"M 1x1\r\n1\r\n", "Mat 1x1\r\n1\r\n", "Matrix:1*1:\r\n1\r\n"}) {
        EXPECT_EQ(Accepted(kHead + matrix).kernel, std::vector<float>{1.0f}) << matrix;
    }
}

TEST(FilterFileTest, MatrixDimensionsAndNumbers) {
    const struct {
        std::string matrix;
        std::vector<float> kernel;
    } cases[] = {
        {"Matrix: 1 3\r\n1 2 3\r\n", {1, 2, 3}},
        {"Matrix: 1*3\r\n1 2 3\r\n", {1, 2, 3}},
        {"Matrix: 1 X 3 :\r\n\r\n1 2 3\r\n", {1, 2, 3}},
        {"Matrix:\r\n 1 x 3 1 2 3\r\n", {1, 2, 3}},
        {"Matrix: 1 x 3\r\n1-1 2\r\n", {1, -1, 2}},
        {"Matrix: 1 x 3\r\n\t1.5e1 .5 -2.\r\n", {15, 0.5f, -2}},
        {"Matrix: 1 x 3\r\n+2 1E-2 1e-60\r\n", {2, 0.01f, 0}},
        {"Matrix: 1 x 3\r\n3e38 1e0 2\r\n", {3e38f, 1, 2}},
        {"Matrix: 3 x 1\r\n1\r2\n3\r\n", {3, 2, 1}},  // a lone CR and a lone LF end rows too
        {"Matrix: 1 x 1\r\n7\r\nMatrix: 1 x 3\r\n4 5 6\r\n", {4, 5, 6}},
        {"Matrix: 1 x 1\r\n 9 \r\n", {9}},
    };
    for (const auto& c : cases) {
        const LinearFilter filter = Accepted(kHead + c.matrix);
        EXPECT_EQ(filter.kernel, c.kernel) << c.matrix;
    }
}

TEST(FilterFileTest, NameIsCutAndDecodedForDisplay) {
    const std::string hundred(100, 'n');
    const struct {
        std::string firstLine;
        std::string name;
    } cases[] = {
        {"Tarkemo - Linear Filter:" + hundred, std::string(76, 'n') + "..."},
        {"Tarkemo - Linear Filter:" + std::string(76, 'n'), std::string(76, 'n')},
        {"Tarkemo - Linear Filter: \t Gl\xe4ttung \x80 5 ", "Glättung € 5 "},
        {"Tarkemo - Linear Filter:a/*/b", "a b"},
        {"Tarkemo - Linear Filter:a/* x */b/**/c", "a b c"},
        {"Tarkemo - Linear Filter:", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Accepted(c.firstLine + "\n" + kOneByOne).name, c.name) << c.firstLine;
    }
}

TEST(FilterFileTest, CommentsAreRemovedEverywhere) {
    const LinearFilter filter = Accepted(kHead +
                                         "/* a comment\r\n over lines */Matrix: 1 x/* inside */3\r\n"
                                         "1 2 /*/ 3\r\n"
                                         "Border: /**/CoeffSum\r\n"
                                         "/* never closed\r\nSign: ABS\r\n");
    EXPECT_EQ(filter.kernel, (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(filter.border, 0);
    EXPECT_EQ(filter.divBy, 0.0f);
    EXPECT_EQ(filter.sign, kSignKeep);
}

TEST(FilterFileTest, RejectedWithoutMessage) {
    const std::string cases[] = {
        "Tarkemo - Linear Filter: no line end",
        "Tarkemo - Linear Filter: x/*\r\nMatrix: 1 x 1\r\n1\r\n",
    };
    for (const std::string& text : cases) {
        const FilterFileResult result = Parse(text);
        EXPECT_EQ(result.outcome, FilterFileOutcome::kRejected) << text;
        EXPECT_FALSE(result.message.has_value()) << text;
    }
    LinearFilter filter;
    filter.path = "/nonexistent/folder/filter.lft";
    const FilterFileResult missing = ParseLinearFilterFile(filter);
    EXPECT_EQ(missing.outcome, FilterFileOutcome::kRejected);
    EXPECT_FALSE(missing.message.has_value());
}

TEST(FilterFileTest, HostileInputIsRefusedCleanly) {
    // A zero byte ends the text.
    EXPECT_EQ(Accepted(kHead + kOneByOne + std::string("\0junk: \xff", 8)).kernel, std::vector<float>{1.0f});
    std::string junk;
    for (int i = 0; i < 5000; ++i) junk += static_cast<char>((i * 7919) % 255 + 1);
    EXPECT_EQ(Parse(kHead + junk).outcome, FilterFileOutcome::kRejected);
    EXPECT_EQ(Parse(junk).outcome, FilterFileOutcome::kRejected);
    // A large declared matrix with little text behind it fails where the text ends, allocating
    // no more than the text can fill.
    const FilterFileResult big = Parse(kHead + "Matrix: 40001 x 40001\r\n1 2 3\r\n");
    ASSERT_TRUE(big.message.has_value());
    EXPECT_TRUE(big.message->text ==
                    "Definition der Matrix ungültig! Return vor Ende einer Zeile gefunden." ||
                big.message->text == "Nicht gegügend Speicher für die Matrix!")
        << big.message->text;
    EXPECT_EQ(Parse(kHead + "Matrix: 1 x 1\r\n" + std::string(100000, '9') + "\r\n").outcome,
              FilterFileOutcome::kRejected);
    EXPECT_EQ(Accepted(kHead + "Matrix: 1 x 1\r\n0." + std::string(100000, '0') + "1\r\n").kernel,
              std::vector<float>{0.0f});
}

TEST(FilterFileTest, LargeCoeffSumKernelIsCheckedQuickly) {
    // 201 x 201 non-integral coefficients; the partial sums are far from 0.
    std::string text = kHead + "Matrix: 201 x 201\r\n";
    for (int row = 0; row < 201; ++row) {
        for (int col = 0; col < 201; ++col) text += col ? " 0.3" : "0.3";
        text += "\r\n";
    }
    LinearFilter filter = Accepted(text + "Border: CoeffSum\r\n");
    EXPECT_EQ(filter.kernel.size(), 201u * 201u);
    EXPECT_EQ(filter.divBy, 0.0f);
}

TEST(FilterFileTest, ReadsAFileAndKeepsItsPath) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "tarkemo_filter_file_test.lft";
    {
        std::ofstream file(path, std::ios::binary);
        file << kHead << "Matrix: 1 x 3\r\n1 2 1\r\nDivBy: 4\r\nSign: NegativeToZero\r\n";
    }
    LinearFilter filter;
    filter.path = path.string();
    filter.name = "old";
    filter.addOffset = 5.0f;
    const FilterFileResult result = ParseLinearFilterFile(filter);
    std::filesystem::remove(path);
    EXPECT_EQ(result.outcome, FilterFileOutcome::kAccepted);
    EXPECT_EQ(filter.path, path.string());
    EXPECT_EQ(filter.name, "Test");
    EXPECT_EQ(filter.kernel, (std::vector<float>{1, 2, 1}));
    EXPECT_EQ(filter.divBy, 4.0f);
    EXPECT_EQ(filter.addOffset, 0.0f);  // reset before reading
    EXPECT_EQ(filter.sign, kSignNegativeToZero);
}

}  // namespace
}  // namespace tarkemo
