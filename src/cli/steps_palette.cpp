#include <string>

#include "cli/steps.h"
#include "image/palette_files.h"
#include "image/palettes.h"

namespace tarkemo::cli {
namespace {

// palette=NAME: one of the built-in palette commands, named as in BuiltInPalettes().
Status BuiltIn(StepContext& context, std::string_view argument) {
    for (const BuiltInPaletteInfo& info : BuiltInPalettes()) {
        if (info.cliName == argument) {
            ApplyBuiltInPalette(context.bitmap, info.palette);
            return Status::Ok();
        }
    }
    return BadStepArgument("palette", argument);
}

// A palette file is an input like the image: missing or refused ends the run with status 3.
Status PaletteFileRefused(const std::string& path, const PaletteFileResult& result) {
    if (!FileExists(path)) return {kInputRefused, "Die Datei \"" + path + "\" existiert nicht!"};
    return {kInputRefused, std::string(result.message)};
}

// palette-file=FILE.rgb: the file's table becomes the image's colour table.
Status RgbPaletteFile(StepContext& context, std::string_view argument) {
    if (argument.empty()) return BadStepArgument("palette-file", argument);
    const std::string path(argument);
    ColourTable table{};
    const PaletteFileResult result = ReadRgbPaletteFile(path, table);
    if (!result) return PaletteFileRefused(path, result);
    WriteColourTable(context.bitmap, table);
    return Status::Ok();
}

// gray-map=FILE.pal: every pixel p becomes level[p] as the palette editor applies its mapping;
// the colour table becomes the gray ramp.
Status GrayMapFile(StepContext& context, std::string_view argument) {
    if (argument.empty()) return BadStepArgument("gray-map", argument);
    const std::string path(argument);
    GrayLevels levels{};
    const PaletteFileResult result = ReadGrayPaletteFile(path, levels);
    if (!result) return PaletteFileRefused(path, result);
    ApplyGrayLevels(context.bitmap, levels);
    return Status::Ok();
}

}  // namespace

void AddPaletteSteps(std::vector<StepDef>& steps) {
    steps.push_back(
        {"palette", true, "palette=gray|intensity|top-red|contour|rainbow|double-rainbow", BuiltIn});
    steps.push_back({"palette-file", true, "palette-file=FILE.rgb", RgbPaletteFile});
    steps.push_back({"gray-map", true, "gray-map=FILE.pal", GrayMapFile});
}

}  // namespace tarkemo::cli
