#include "cli/count_options.h"

#include <set>
#include <string_view>
#include <thread>

#include "particles/export_targets.h"

namespace tarkemo::cli {
namespace {

constexpr int64_t kMaxJobs = 256;

Status Usage(std::string message) {
    return {kBadUsage, std::move(message)};
}

std::optional<CountMethod> ParseMethod(std::string_view name) {
    if (name == "maxima") return CountMethod::Maxima;
    if (name == "binarise") return CountMethod::Binarise;
    if (name == "stripes") return CountMethod::Stripes;
    return std::nullopt;
}

// A whole number within lo..hi, or a message naming the option and its range.
std::optional<int64_t> ParseBounded(const std::string& option, const std::string& text, int64_t lo,
                                    int64_t hi, Status& status) {
    const auto value = ParseInteger(text);
    if (value && *value >= lo && *value <= hi) return value;
    status = Usage("Ungültiger Wert zu " + option + ": \"" + text + "\" (erlaubt: " + std::to_string(lo) +
                   " bis " + std::to_string(hi) + ")");
    return std::nullopt;
}

// The whole-number options with their ranges and the field each one sets.
struct NumberOption {
    const char* name;
    int64_t lo, hi;
    void (*set)(CountOptions&, int64_t);
};

constexpr int64_t kMaxArea = 4294967295;
const NumberOption kNumberOptions[] = {
    {"--min-gray", 0, 255, [](CountOptions& o, int64_t v) { o.params.minGray = static_cast<uint32_t>(v); }},
    {"--min-area", 0, kMaxArea,
     [](CountOptions& o, int64_t v) { o.params.minArea = static_cast<uint32_t>(v); }},
    {"--max-area", 1, kMaxArea,
     [](CountOptions& o, int64_t v) { o.params.maxArea = static_cast<uint32_t>(v); }},
    {"--jobs", 1, kMaxJobs, [](CountOptions& o, int64_t v) { o.jobs = static_cast<unsigned>(v); }},
};

// Applies one option with its value; false with the status set on error.
bool ApplyOption(CountOptions& options, const std::string& option, const std::string& value, Status& status) {
    if (value.empty()) {
        status = Usage("Leerer Wert zu " + option);
        return false;
    }
    if (option == "--method") {
        const auto method = ParseMethod(value);
        if (!method)
            status = Usage("Unbekannte Zählmethode: \"" + value + "\" (maxima, binarise oder stripes)");
        if (method) options.method = *method;
        return method.has_value();
    }
    if (option == "--export" || option == "--export-dir") {
        (option == "--export" ? options.exportBase : options.exportDir) = value;
        return true;
    }
    for (const NumberOption& number : kNumberOptions) {
        if (option != number.name) continue;
        const auto parsed = ParseBounded(option, value, number.lo, number.hi, status);
        if (parsed) number.set(options, *parsed);
        return parsed.has_value();
    }
    status = Usage("Unbekannte Option: " + option);
    return false;
}

bool IsValueOption(std::string_view option) {
    if (option == "--method" || option == "--export" || option == "--export-dir") return true;
    for (const NumberOption& number : kNumberOptions) {
        if (option == number.name) return true;
    }
    return false;
}

// Contradictions between options and inputs, checked once everything is read.
Status CheckCombination(const CountOptions& options) {
    if (options.inputs.empty()) return Usage("");
    // A TAB or line break in a name would make the PATH<TAB>N lines ambiguous.
    for (const std::string& input : options.inputs) {
        if (input.find_first_of("\t\n\r") != std::string::npos) {
            return Usage("Dateinamen mit Tabulator oder Zeilenumbruch werden nicht unterstützt: \"" + input +
                         "\"");
        }
    }
    if (!ParticleParamsValid(options.params)) {
        return Usage("Die maximale Fläche darf nicht kleiner als die minimale Fläche sein.");
    }
    if (!options.exportBase.empty() && !options.exportDir.empty()) {
        return Usage("--export und --export-dir schließen einander aus.");
    }
    if (!options.exportBase.empty() && options.inputs.size() != 1) {
        return Usage("--export verlangt genau ein Bild; für mehrere Bilder --export-dir verwenden.");
    }
    if (options.exportDir.empty()) return Status::Ok();
    std::set<std::string> bases;
    for (size_t i = 0; i < options.inputs.size(); ++i) {
        if (!bases.insert(ExportBaseFor(options, i)).second) {
            return Usage("Mehrere Bilder ergeben denselben Exportnamen: " + ExportBaseFor(options, i));
        }
    }
    return Status::Ok();
}

unsigned DefaultJobs() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : cores;
}

}  // namespace

std::optional<CountOptions> ParseCountOptions(Arguments args, Status& status) {
    CountOptions options;
    options.jobs = DefaultJobs();
    size_t i = 0;
    for (; i < args.size() && args[i].starts_with("--"); ++i) {
        if (args[i] == "--") {
            ++i;
            break;
        }
        if (args[i] == "--german") {
            options.germanNumbers = true;
            continue;
        }
        const size_t equals = args[i].find('=');
        const std::string option = args[i].substr(0, equals);
        if (!IsValueOption(option)) {
            status = Usage("Unbekannte Option: " + args[i]);
            return std::nullopt;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = args[i].substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            status = Usage("Fehlender Wert zu " + option);
            return std::nullopt;
        }
        if (!ApplyOption(options, option, value, status)) return std::nullopt;
    }
    options.inputs.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    status = CheckCombination(options);
    if (!status.ok()) return std::nullopt;
    return options;
}

std::string ExportBaseFor(const CountOptions& options, size_t index) {
    if (!options.exportBase.empty()) return options.exportBase;
    const std::string& input = options.inputs[index];
    const size_t slash = input.find_last_of('/');
    const std::string name = slash == std::string::npos ? input : input.substr(slash + 1);
    std::string folder = options.exportDir;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder + ProposedExportBase(name);
}

}  // namespace tarkemo::cli
