// The help of tarkemo-cli: one table per command (its synopsis, options with defaults, steps),
// kept in the command's own help_*.cpp file. The same table gives `--help`, the usage named on
// wrong usage, the README's tables and the bash completion, so they cannot drift apart.
#pragma once

#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarkemo::cli {

struct OptionHelp {
    std::string_view name;          // "--min-gray"
    std::string_view value;         // "T", "maxima|binarise|stripes" (choices); empty for a switch
    std::string_view text;          // what it does, German
    std::string_view defaultValue;  // shown as "Vorgabe: ..."; empty when there is none
};

struct StepHelp {
    std::string_view form;  // "rank=W,H,R" or "not"; a value of a|b|c lists its choices
    std::string_view text;  // what it does, German
};

struct CommandHelp {
    std::string_view name;      // "count"
    std::string_view synopsis;  // "count [OPTIONEN] BILD..."
    std::string_view summary;   // one line for the overview
    std::string_view details;   // paragraphs after the synopsis; may be empty
    std::span<const OptionHelp> options;
    std::string_view stepsIntro;  // the line above the step list
    std::span<const StepHelp> steps;
    // The step keys the code accepts ("not", "rank=": the name, with "=" when it takes a value);
    // null for a command without steps. Tests compare them with the keys of `steps`.
    std::vector<std::string> (*acceptedSteps)() = nullptr;
};

// One function per command, each defined in the command's help_*.cpp.
const CommandHelp& InfoHelp();
const CommandHelp& ConvertHelp();
const CommandHelp& ApplyHelp();
const CommandHelp& CountHelp();
const CommandHelp& SpectrumHelp();
const CommandHelp& PaletteHelp();
const CommandHelp& CompletionHelp();

// The key of a step form: "rank=W,H,R" -> "rank=", "not" -> "not".
std::string StepKey(std::string_view form);

// The overview of all commands (for --help, -h and help).
std::string OverviewText();

// The full help of one command: synopsis, details, options with defaults, steps.
std::string CommandHelpText(const CommandHelp& help);

// The two lines that wrong usage of a command ends with: its synopsis and where to find more.
std::string UsageHint(const CommandHelp& help);

// The README's section of one command, as Markdown.
std::string CommandHelpMarkdown(const CommandHelp& help);

// The README's list of commands, as Markdown (an indented block).
std::string OverviewMarkdown();

}  // namespace tarkemo::cli
