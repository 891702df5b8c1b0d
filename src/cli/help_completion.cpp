// `tarkemo-cli completion bash`: the bash completion script, written from the help tables so that
// it offers exactly the commands, options, choices and steps that --help lists.
#include "cli/help_completion.h"

#include <cstdio>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/help.h"

namespace tarkemo::cli {
namespace {

// The fixed part: reads the line up to the cursor, walks past the options and values already
// given and asks the generated tables below what fits the word under the cursor.
constexpr std::string_view kScriptBody = R"BASH(
_tarkemo_cli_reply() {
    # $1: the whole word under the cursor; the rest: candidates for it. Bash replaces only the part
    # of the word after its last word-break character (such as "=" or ":"), so that part is cut off.
    local cur=$1 strip=$1
    shift
    while [[ -n $strip && $COMP_WORDBREAKS != *"${strip: -1}"* ]]; do strip=${strip%?}; done
    local c
    for c in "$@"; do
        [[ $c == "$cur"* ]] && COMPREPLY+=("${c#"$strip"}")
    done
}

_tarkemo_cli_value() {
    # $1: kind of value ("choices a b c", "files", "dirs" or "none"); $2: text before the value in
    # the word; $3: the value typed so far.
    local kind=$1 before=$2 typed=$3 c
    local -a found=()
    case $kind in
        choices*) for c in ${kind#choices}; do found+=("$before$c"); done ;;
        files) compopt -o filenames 2>/dev/null; while IFS= read -r c; do found+=("$before$c"); done < <(compgen -f -- "$typed") ;;
        dirs) compopt -o filenames 2>/dev/null; while IFS= read -r c; do found+=("$before$c"); done < <(compgen -d -- "$typed") ;;
    esac
    _tarkemo_cli_reply "$before$typed" "${found[@]}"
}

_tarkemo_cli() {
    COMPREPLY=()
    local line=${COMP_LINE:0:COMP_POINT}
    local -a words
    read -r -a words <<< "$line"
    [[ ${#words[@]} -eq 0 || $line == *[[:space:]] ]] && words+=("")
    local n=${#words[@]} cur=${words[-1]}
    if (( n == 2 )); then
        _tarkemo_cli_reply "$cur" $_tarkemo_cli_commands help --help -h --version
        return
    fi
    local command=${words[1]}
    if [[ $command == help ]]; then
        (( n == 3 )) && _tarkemo_cli_reply "$cur" $_tarkemo_cli_commands
        return
    fi
    local in_options=1 expect="" positional=0 w kind
    for w in "${words[@]:2:n-3}"; do
        if [[ -n $expect ]]; then expect=""; continue; fi
        if (( in_options )) && [[ $w == -- ]]; then in_options=0; continue; fi
        if (( in_options )) && [[ $w == --* ]]; then
            kind=$(_tarkemo_cli_option_value "$command" "${w%%=*}")
            [[ $w != *=* && -n $kind ]] && expect=$w
            continue
        fi
        in_options=0
        positional=$((positional + 1))
    done
    if [[ -n $expect ]]; then
        _tarkemo_cli_value "$(_tarkemo_cli_option_value "$command" "$expect")" "" "$cur"
    elif (( in_options )) && [[ $cur == --*=* ]]; then
        kind=$(_tarkemo_cli_option_value "$command" "${cur%%=*}")
        _tarkemo_cli_value "$kind" "${cur%%=*}=" "${cur#*=}"
    elif (( in_options )) && [[ $cur == -* ]]; then
        _tarkemo_cli_reply "$cur" $(_tarkemo_cli_options "$command") --help
    else
        local -a literal=($(_tarkemo_cli_literals "$command"))
        local first_step=$(_tarkemo_cli_first_step "$command")
        if (( positional < ${#literal[@]} )); then
            _tarkemo_cli_reply "$cur" "${literal[positional]}"
        elif [[ -n $first_step ]] && (( positional >= first_step )); then
            if [[ $cur == *=* ]]; then
                local key=${cur%%=*}= value=${cur#*=}
                kind=$(_tarkemo_cli_step_value "$command" "$key")
                local before=$key
                [[ $kind == files && $value == *,* ]] && before=$key${value%,*}, && value=${value##*,}
                _tarkemo_cli_value "$kind" "$before" "$value"
            else
                _tarkemo_cli_reply "$cur" $(_tarkemo_cli_steps "$command")
                [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *= ]] && compopt -o nospace 2>/dev/null
            fi
        else
            _tarkemo_cli_value files "" "$cur"
        fi
    fi
    return 0
}

complete -F _tarkemo_cli tarkemo-cli
)BASH";

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find(separator, start), text.size());
        if (end > start) parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// How the value of an option or step completes: a|b|c lists its choices; a placeholder naming a
// file or folder completes file or folder names; anything else (numbers) completes nothing.
std::string ValueKind(std::string_view value) {
    if (value.find('|') != std::string_view::npos && value.find(',') == std::string_view::npos) {
        std::string kind = "choices";
        for (const std::string_view choice : Split(value, '|')) {
            kind += ' ';
            kind += choice;
        }
        return kind;
    }
    if (value == "ORDNER") return "dirs";
    if (value.find("DATEI") != std::string_view::npos || value == "BASIS") return "files";
    return "none";
}

// One shell function answering from a case table: `NAME() { case "$1" in PATTERN) echo ...;; esac; }`.
struct CaseTable {
    std::string name;
    std::string rows;

    void Add(const std::string& pattern, const std::string& answer) {
        rows += "        \"" + pattern + "\") echo \"" + answer + "\" ;;\n";
    }
    std::string Text(const std::string& subject) const {
        return name + "() {\n    case " + subject + " in\n" + rows + "    esac\n}\n";
    }
};

// The synopsis words after the command name: literal sub-command words (all lower case) and the
// position of the first step among the positional arguments.
void AddSynopsis(const CommandHelp& help, CaseTable& literals, CaseTable& firstStep) {
    const std::vector<std::string_view> tokens = Split(help.synopsis, ' ');
    std::string words;
    int position = 0;
    for (size_t i = 1; i < tokens.size(); ++i) {
        const std::string_view token = tokens[i];
        if (token.find("SCHRITT") != std::string_view::npos) {
            firstStep.Add(std::string(help.name), std::to_string(position));
            break;
        }
        if (token.starts_with('[')) continue;
        if (token.find_first_not_of("abcdefghijklmnopqrstuvwxyz") == std::string_view::npos) {
            if (!words.empty()) words += ' ';
            words += token;
        }
        ++position;
    }
    if (!words.empty()) literals.Add(std::string(help.name), words);
}

}  // namespace

std::string BashCompletionScript() {
    CaseTable options{"_tarkemo_cli_options", {}}, optionValue{"_tarkemo_cli_option_value", {}};
    CaseTable steps{"_tarkemo_cli_steps", {}}, stepValue{"_tarkemo_cli_step_value", {}};
    CaseTable literals{"_tarkemo_cli_literals", {}}, firstStep{"_tarkemo_cli_first_step", {}};
    std::string commands;
    for (const CommandDef& command : AllCommands()) {
        const CommandHelp& help = command.help();
        const std::string name(help.name);
        if (!commands.empty()) commands += ' ';
        commands += name;
        std::string names;
        for (const OptionHelp& option : help.options) {
            names += std::string(option.name) + " ";
            if (!option.value.empty())
                optionValue.Add(name + " " + std::string(option.name), ValueKind(option.value));
        }
        if (!names.empty()) options.Add(name, names.substr(0, names.size() - 1));
        std::string keys;
        for (const StepHelp& step : help.steps) {
            const std::string key = StepKey(step.form);
            keys += key + " ";
            if (key.ends_with('=')) stepValue.Add(name + " " + key, ValueKind(step.form.substr(key.size())));
        }
        if (!keys.empty()) steps.Add(name, keys.substr(0, keys.size() - 1));
        AddSynopsis(help, literals, firstStep);
    }
    std::string script =
        "# bash completion of tarkemo-cli: commands, options, their choices, steps and file names.\n"
        "# Written by `tarkemo-cli completion bash` from the program's own help tables.\n\n"
        "_tarkemo_cli_commands=\"" +
        commands + "\"\n\n";
    script += options.Text("\"$1\"") + optionValue.Text("\"$1 $2\"") + steps.Text("\"$1\"") +
              stepValue.Text("\"$1 $2\"") + literals.Text("\"$1\"") + firstStep.Text("\"$1\"");
    return script + std::string(kScriptBody);
}

const CommandHelp& CompletionHelp() {
    static const CommandHelp help{
        "completion",
        "completion bash",
        "Gibt das Skript zur Vervollständigung in der bash aus (Befehle, Optionen, Schritte, Dateinamen).",
        "Installiert liegt es unter share/bash-completion/completions/tarkemo-cli; ohne Installation: "
        "source <(tarkemo-cli completion bash)",
        {},
        {},
        {},
        nullptr};
    return help;
}

int RunCompletion(Arguments args) {
    if (args.size() != 1 || args[0] != "bash") return Report({kBadUsage, ""});
    const std::string script = BashCompletionScript();
    std::fwrite(script.data(), 1, script.size(), stdout);
    return kDone;
}

}  // namespace tarkemo::cli
