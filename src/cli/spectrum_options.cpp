#include "cli/spectrum_options.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "cli/steps.h"
#include "spectrum/spectrum_size.h"

namespace tarkemo::cli {
namespace {

Status Usage(std::string message) {
    return {kBadUsage, std::move(message)};
}

Status BadValue(std::string_view option, std::string_view value) {
    return Usage("Ungültiger Wert zu " + std::string(option) + ": \"" + std::string(value) + "\"");
}

bool IsDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

// A whole number of digits only (no sign) that fits 32 bits.
std::optional<int32_t> ParseCount(std::string_view text) {
    const auto value = ParseInteger(text);
    if (!IsDigits(text) || !value || *value > std::numeric_limits<int32_t>::max()) return std::nullopt;
    return static_cast<int32_t>(*value);
}

// --size W,H,FILL (centred) or W,H,OX,OY,FILL.
bool ParseSize(std::string_view value, SpectrumOptions& options) {
    if (value == "auto") {
        options.manualSize = false;
        return true;
    }
    const auto parts = SplitCommas(value);
    if (parts.size() != 3 && parts.size() != 5) return false;
    const auto width = ParseCount(parts[0]);
    const auto height = ParseCount(parts[1]);
    const auto fill = ParseFill(parts.back());
    if (!width || !height || !fill || !IsSpectrumSide(*width) || !IsSpectrumSide(*height)) return false;
    SizeSettings size{*width, *height, 0, 0, true, true, *fill};
    if (parts.size() == 5) {
        const auto offsetX = ParseCount(parts[2]);
        const auto offsetY = ParseCount(parts[3]);
        if (!offsetX || !offsetY) return false;
        size = SizeSettings{*width, *height, *offsetX, *offsetY, false, false, *fill};
    }
    options.manualSize = true;
    options.size = size;
    return true;
}

template <typename Enum>
struct Keyword {
    std::string_view name;
    Enum value;
};

template <typename Enum, size_t N>
bool ParseKeyword(std::string_view text, const Keyword<Enum> (&keywords)[N], Enum& target) {
    for (const Keyword<Enum>& keyword : keywords) {
        if (keyword.name != text) continue;
        target = keyword.value;
        return true;
    }
    return false;
}

constexpr Keyword<InverseSource> kSources[] = {{"real", InverseSource::kReal},
                                               {"imag", InverseSource::kImaginary},
                                               {"abs", InverseSource::kMagnitude},
                                               {"phase", InverseSource::kPhase}};
constexpr Keyword<SpectrumViewField> kFields[] = {{"spectrum", SpectrumViewField::kSpectrum},
                                                  {"filter", SpectrumViewField::kFilter},
                                                  {"filtered", SpectrumViewField::kFiltered}};
constexpr Keyword<SpectrumQuantity> kQuantities[] = {{"abs", SpectrumQuantity::kMagnitude},
                                                     {"phase", SpectrumQuantity::kPhase},
                                                     {"re", SpectrumQuantity::kRealMagnitude},
                                                     {"im", SpectrumQuantity::kImaginaryMagnitude}};

// What the command line said about the exclusive options, checked once all are read.
struct Seen {
    bool scale = false, normalise = false, power = false, decibel = false;
};

bool ApplyValueOption(std::string_view option, const std::string& value, SpectrumOptions& o, Seen& seen) {
    if (option == "--size") return ParseSize(value, o);
    if (option == "--from") return ParseKeyword(value, kSources, o.inverse.source);
    if (option == "--view-of") return ParseKeyword(value, kFields, o.display.field);
    if (option == "--quantity") return ParseKeyword(value, kQuantities, o.display.quantity);
    if (option == "--add" || option == "--scale" || option == "--power") {
        const auto number = ParseReal(value);
        if (!number) return false;
        if (option == "--add") o.inverse.add = *number;
        if (option == "--scale") o.inverse.multiplier = *number, seen.scale = true;
        if (option == "--power") o.display.exponent = *number, seen.power = true;
        return option != "--power" || *number > 0.0f;
    }
    std::string* path = option == "--save-spectrum"   ? &o.saveSpectrum
                        : option == "--save-filter"   ? &o.saveFilter
                        : option == "--save-filtered" ? &o.saveFiltered
                                                      : &o.view;
    *path = value;
    return !value.empty();
}

bool IsValueOption(std::string_view option) {
    for (std::string_view name : {"--size", "--from", "--add", "--scale", "--save-spectrum", "--save-filter",
                                  "--save-filtered", "--view", "--view-of", "--quantity", "--power"}) {
        if (option == name) return true;
    }
    return false;
}

// --abs, --normalize and --db take no value.
bool ApplyFlag(std::string_view option, SpectrumOptions& options, Seen& seen) {
    if (option == "--abs") return options.inverse.absolute = true;
    if (option == "--normalize") return options.inverse.normalise = seen.normalise = true;
    if (option == "--db") {
        options.display.scale = SpectrumScale::kDecibel;
        return seen.decibel = true;
    }
    return false;
}

Status CheckCombination(const SpectrumOptions& options, const Seen& seen) {
    if (seen.scale && seen.normalise) return Usage("--scale und --normalize schließen einander aus.");
    if (seen.power && seen.decibel) return Usage("--power und --db schließen einander aus.");
    if (options.input.empty()) return Usage(kSpectrumUsage);
    return Status::Ok();
}

// Reads one option at args[i] (advancing i past its value); false with the status set.
bool ReadOption(Arguments args, size_t& i, SpectrumOptions& options, Seen& seen, Status& status) {
    const std::string& argument = args[i];
    const size_t equals = argument.find('=');
    const std::string option = argument.substr(0, equals);
    if (equals == std::string::npos && ApplyFlag(option, options, seen)) return true;
    if (!IsValueOption(option)) {
        status = Usage("Unbekannte Option: " + argument + "\n" + kSpectrumUsage);
        return false;
    }
    std::string value;
    if (equals != std::string::npos) {
        value = argument.substr(equals + 1);
    } else if (i + 1 < args.size()) {
        value = args[++i];
    } else {
        status = Usage("Fehlender Wert zu " + option);
        return false;
    }
    if (ApplyValueOption(option, value, options, seen)) return true;
    status = BadValue(option, value);
    return false;
}

}  // namespace

std::optional<float> ParseReal(std::string_view text) {
    size_t i = 0;
    const auto digits = [&] {
        const size_t start = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
        return i - start;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t mantissa = digits();
    if (i < text.size() && text[i] == '.') ++i, mantissa += digits();
    if (mantissa == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (digits() == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    // The syntax is checked above, so strtod sees only plain decimals (overflow gives inf).
    const double value = std::strtod(std::string(text).c_str(), nullptr);
    const float single = static_cast<float>(value);
    if (!std::isfinite(single)) return std::nullopt;
    return single;
}

std::optional<SpectrumOptions> ParseSpectrumOptions(Arguments args, Status& status) {
    SpectrumOptions options;
    Seen seen;
    size_t i = 0;
    for (; i < args.size() && args[i].starts_with("--"); ++i) {
        if (args[i] == "--") {
            ++i;
            break;
        }
        if (!ReadOption(args, i, options, seen, status)) return std::nullopt;
    }
    if (args.size() - i < 2) {
        status = Usage(kSpectrumUsage);
        return std::nullopt;
    }
    options.input = args[i];
    options.output = args[i + 1];
    options.steps.assign(args.begin() + static_cast<std::ptrdiff_t>(i + 2), args.end());
    status = CheckCombination(options, seen);
    if (!status.ok()) return std::nullopt;
    return options;
}

}  // namespace tarkemo::cli
