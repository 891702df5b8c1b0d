#include "cli/help.h"

#include <initializer_list>

#include "cli/commands.h"
#include "tarkemo_version.h"

namespace tarkemo::cli {
namespace {

constexpr size_t kWidth = 100;  // terminal help is wrapped at this column
constexpr size_t kColumn = 28;  // where an option's or step's text starts when its name fits

constexpr std::string_view kExitStatus =
    "Exit-Status: 0 erledigt; 2 falscher Aufruf (Meldung auf stderr); 3 eine Eingabe ließ sich nicht "
    "lesen oder wurde abgelehnt; 4 eine Ausgabe ließ sich nicht schreiben; 5 ein Schritt ließ sich nicht "
    "ausführen. Geschrieben wird nur, was vollständig gelang.";

// Appends `text` wrapped at kWidth, every line indented by `indent` blanks; the first line
// continues after what the caller already wrote up to column `used`.
void AppendWrapped(std::string& out, std::string_view text, size_t indent, size_t used) {
    size_t column = used;
    size_t start = 0;
    bool lineEmpty = true;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view word = text.substr(start, end - start);
        if (!lineEmpty && column + 1 + word.size() > kWidth) {
            out += '\n' + std::string(indent, ' ');
            column = indent;
            lineEmpty = true;
        }
        if (!lineEmpty) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        lineEmpty = false;
        start = end + 1;
    }
    out += '\n';
}

// Paragraphs are separated by empty lines in the table; each is wrapped on its own.
void AppendParagraphs(std::string& out, std::string_view text) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\n\n", start);
        if (end == std::string_view::npos) end = text.size();
        out += '\n';
        AppendWrapped(out, text.substr(start, end - start), 0, 0);
        start = end + 2;
    }
}

// "  NAME  text", the text at kColumn, or on the next line when the name is too long.
void AppendEntry(std::string& out, std::string_view name, std::string_view text) {
    out += "  ";
    out += name;
    size_t used = 2 + name.size();
    if (used + 2 > kColumn) {
        out += '\n';
        used = 0;
    }
    out += std::string(kColumn - used, ' ');
    AppendWrapped(out, text, kColumn, kColumn);
}

std::string OptionName(const OptionHelp& option) {
    std::string name(option.name);
    if (!option.value.empty()) {
        name += ' ';
        name += option.value;
    }
    return name;
}

std::string OptionText(const OptionHelp& option) {
    std::string text(option.text);
    if (!option.defaultValue.empty()) text += " (Vorgabe: " + std::string(option.defaultValue) + ")";
    return text;
}

// Appends the pieces one after the other (cheaper and clearer than a chain of +).
void Append(std::string& out, std::initializer_list<std::string_view> pieces) {
    for (const std::string_view piece : pieces) out += piece;
}

// Markdown text: "<" would open an HTML tag, "|" would end a table cell.
std::string Markdown(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '|' || c == '<') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

// Inside a code span only "|" needs its backslash (a table would still end the cell there).
std::string Code(std::string_view text) {
    std::string code(1, '`');
    for (const char c : text) {
        if (c == '|') code += '\\';
        code += c;
    }
    code += '`';
    return code;
}

}  // namespace

std::string StepKey(std::string_view form) {
    const size_t equals = form.find('=');
    return std::string(equals == std::string_view::npos ? form : form.substr(0, equals + 1));
}

std::string OverviewText() {
    std::string out = "tarkemo-cli " + std::string(kVersion) + ": ";
    AppendWrapped(out, "Bilder prüfen, bearbeiten und Partikel zählen ohne Fenster, für Stapel und Skripte.",
                  0, out.size());
    out += "\nAufruf:\n";
    for (const CommandDef& command : AllCommands()) {
        const CommandHelp& help = command.help();
        out += "  tarkemo-cli " + std::string(help.synopsis) + "\n" + std::string(6, ' ');
        AppendWrapped(out, help.summary, 6, 6);
    }
    out += "\n  tarkemo-cli BEFEHL --help   die Hilfe zu einem Befehl (auch: tarkemo-cli help BEFEHL)\n";
    out += "  tarkemo-cli --help          diese Übersicht (auch: -h, help)\n";
    out += "  tarkemo-cli --version       die Version\n";
    AppendParagraphs(out, "Optionen stehen vor den übrigen Argumenten.");
    AppendParagraphs(out, kExitStatus);
    return out;
}

std::string CommandHelpText(const CommandHelp& help) {
    std::string out = "Aufruf: tarkemo-cli " + std::string(help.synopsis) + "\n";
    AppendParagraphs(out, help.summary);
    if (!help.details.empty()) AppendParagraphs(out, help.details);
    out += "\nOptionen:\n";
    for (const OptionHelp& option : help.options) AppendEntry(out, OptionName(option), OptionText(option));
    AppendEntry(out, "-h, --help", "diese Hilfe");
    if (!help.steps.empty()) {
        out += '\n';
        AppendWrapped(out, help.stepsIntro, 0, 0);
        for (const StepHelp& step : help.steps) AppendEntry(out, step.form, step.text);
    }
    return out;
}

std::string UsageHint(const CommandHelp& help) {
    return "Aufruf: tarkemo-cli " + std::string(help.synopsis) + "\nMehr dazu: tarkemo-cli " +
           std::string(help.name) + " --help\n";
}

std::string CommandHelpMarkdown(const CommandHelp& help) {
    std::string out;
    Append(out, {"    tarkemo-cli ", help.synopsis, "\n\n", Markdown(help.summary), "\n"});
    if (!help.details.empty()) Append(out, {"\n", Markdown(help.details), "\n"});
    if (!help.options.empty()) {
        out += "\n| Option | Wirkung | Vorgabe |\n|---|---|---|\n";
        for (const OptionHelp& option : help.options) {
            const std::string byDefault = option.defaultValue.empty() ? "" : Code(option.defaultValue);
            Append(out,
                   {"| ", Code(OptionName(option)), " | ", Markdown(option.text), " | ", byDefault, " |\n"});
        }
    }
    if (!help.steps.empty()) {
        Append(out, {"\n", Markdown(help.stepsIntro), "\n\n| Schritt | Wirkung |\n|---|---|\n"});
        for (const StepHelp& step : help.steps) {
            Append(out, {"| ", Code(step.form), " | ", Markdown(step.text), " |\n"});
        }
    }
    return out;
}

std::string OverviewMarkdown() {
    std::string out = "| Aufruf | Zweck |\n|---|---|\n";
    for (const CommandDef& command : AllCommands()) {
        const CommandHelp& help = command.help();
        const std::string call = "tarkemo-cli " + std::string(help.synopsis);
        Append(out, {"| ", Code(call), " | ", Markdown(help.summary), " |\n"});
    }
    Append(out, {"\n", Markdown(kExitStatus), "\n"});
    return out;
}

}  // namespace tarkemo::cli
