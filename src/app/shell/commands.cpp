#include "app/shell/commands.h"

#include <algorithm>
#include <array>

#include "app/commands/import_commands.h"
#include "app/commands/palette_commands.h"
#include "app/commands/palette_editor_command.h"
#include "app/commands/particle_commands.h"
#include "app/commands/tool_commands.h"
#include "app/shell/clipboard_commands.h"
#include "app/shell/document_commands.h"

namespace tarkemo::app {
namespace {

using M = MenuId;
using E = EnableRule;
using C = CheckRule;
constexpr bool kSep = true;

constexpr std::array kPopups = {
    MenuPopup{M::kFile, M::kFile, "&Datei"},
    MenuPopup{M::kTools, M::kTools, "Hilfs&mittel"},
    MenuPopup{M::kPen, M::kTools, "Zeichens&tift"},
    MenuPopup{M::kMirror, M::kTools, "&Spiegeln"},
    MenuPopup{M::kRotate, M::kTools, "&Drehen"},
    MenuPopup{M::kPalette, M::kTools, "Graustufen / &Falschfarben"},
    MenuPopup{M::kCompute, M::kCompute, "&Berechnungen"},
    MenuPopup{M::kBitOps, M::kCompute, "&Bit-Operationen"},
    MenuPopup{M::kPointOps, M::kCompute, "&Punkt-Operationen"},
    MenuPopup{M::kLocalOps, M::kCompute, "&Lokale Operationen"},
    MenuPopup{M::kGlobalOps, M::kCompute, "&Globale Operationen"},
    MenuPopup{M::kParticles, M::kParticles, "&Partikel zählen"},
    MenuPopup{M::kHelp, M::kHelp, "&Hilfe"},
    MenuPopup{M::kReserved, M::kReserved, "Lediglich reservierte IDs"},
};

// Rows in menu order. Columns: id, popup, text, label, key, handler, enable rule, check rule,
// check value, separator after the entry. A command gets its behaviour by naming its handler in
// its row (declared in the header of its feature, e.g. app/commands/geometry_commands.h); until
// then the row's handler is nullptr and the entry does nothing.
constexpr std::array kCommands = {
    CommandRow{40001, M::kFile, "Ö&ffnen...", "Strg+O", "Ctrl+O", &OpenCommand, E::kAlways, C::kNone, 0,
               false},
    CommandRow{40146, M::kFile, "&Importieren...", "Strg+I", "Ctrl+I", &ImportCommand, E::kAlways, C::kNone,
               0, false},
    CommandRow{40007, M::kFile, "Aus Zwischenablage &einfügen", "Strg+V", "Ctrl+V", &PasteCommand,
               E::kClipboardImage, C::kNone, 0, false},
    CommandRow{40003, M::kFile, "&Speichern", "Strg+S", "Ctrl+S", &SaveCommand, E::kDocumentWithPath,
               C::kNone, 0, false},
    CommandRow{40004, M::kFile, "Speichern &unter...", "Strg+U", "Ctrl+U", &SaveAsCommand, E::kDocument,
               C::kNone, 0, false},
    CommandRow{40006, M::kFile, "In Zwischenablage &kopieren", "Strg+C", "Ctrl+C", &CopyCommand, E::kDocument,
               C::kNone, 0, kSep},
    CommandRow{40008, M::kFile, "&Rückgängig", "Strg+Z", "Ctrl+Z", &UndoCommand, E::kUndoAvailable, C::kNone,
               0, false},
    // Alt+F4 is the window system's own close, which ends up in the same close question.
    CommandRow{40005, M::kFile, "&Beenden", "Alt+F4", nullptr, &ExitCommand, E::kAlways, C::kNone, 0, false},

    CommandRow{40027, M::kTools, "&Verschieben / Zoom", "F2", "F2", &ChooseToolCommand, E::kDocument,
               C::kOwnMark, 1, false},
    CommandRow{40034, M::kTools, "&Markieren", "F3", "F3", &ChooseToolCommand, E::kDocument, C::kOwnMark, 0,
               false},
    CommandRow{40028, M::kTools, "&Zeichnen", "F4", "F4", &ChooseToolCommand, E::kDocument, C::kOwnMark, 0,
               false},
    CommandRow{40101, M::kTools, "In den &Ursprung verschieben", "", nullptr, &ChooseToolCommand,
               E::kDocument, C::kOwnMark, 0, kSep},
    CommandRow{40039, M::kTools, "Markierung manuell &eingeben...", "Strg+F3", "Ctrl+F3",
               &ManualMarkingCommand, E::kDocument, C::kNone, 0, false},
    CommandRow{40129, M::kTools, "Markierung &ausmessen...", "", nullptr, &MeasureMarkingCommand,
               E::kDocument, C::kNone, 0, false},
    CommandRow{40042, M::kPen, "Zeichen&farbe...", "Strg+F4", "Ctrl+F4", &PenColourCommand, E::kDocument,
               C::kNone, 0, kSep},
    CommandRow{40040, M::kPen, "&1 x 1", "", nullptr, &PenSizeCommand, E::kDocument, C::kPenSize, 1, false},
    CommandRow{40041, M::kPen, "&2 x 2", "", nullptr, &PenSizeCommand, E::kDocument, C::kPenSize, 2, false},
    CommandRow{40043, M::kPen, "&3 x 3", "", nullptr, &PenSizeCommand, E::kDocument, C::kPenSize, 3, false},
    CommandRow{40112, M::kPen, "&4 x 4", "", nullptr, &PenSizeCommand, E::kDocument, C::kPenSize, 4, false},
    CommandRow{40113, M::kPen, "&5 x 5", "", nullptr, &PenSizeCommand, E::kDocument, C::kPenSize, 5, false},
    CommandRow{40114, M::kPen, "&6 x 6", "", nullptr, &PenSizeCommand, E::kDocument, C::kPenSize, 6, false},
    CommandRow{40115, M::kPen, "&7 x 7", "", nullptr, &PenSizeCommand, E::kDocument, C::kPenSize, 7, false},
    CommandRow{40116, M::kPen, "&8 x 8", "", nullptr, &PenSizeCommand, E::kDocument, C::kPenSize, 8, false},
    CommandRow{40117, M::kPen, "&9 x 9", "", nullptr, &PenSizeCommand, E::kDocument, C::kPenSize, 9, false},
    CommandRow{40035, M::kMirror, "&Horizontal", "Strg+Runter", "Ctrl+Down", nullptr, E::kDocument, C::kNone,
               0, false},
    CommandRow{40036, M::kMirror, "&Vertikal", "Strg+Rauf", "Ctrl+Up", nullptr, E::kDocument, C::kNone, 0,
               false},
    // The same operation as 40162, which owns the Alt+"." key.
    CommandRow{40164, M::kMirror, "&Punktspiegelung an der Bildmitte", "Alt+.", nullptr, nullptr, E::kAlways,
               C::kNone, 0, false},
    CommandRow{40037, M::kRotate, "Um 90° nach &links", "Strg+Links", "Ctrl+Left", nullptr, E::kDocument,
               C::kNone, 0, false},
    CommandRow{40038, M::kRotate, "Um 90° nach &rechts", "Strg+Rechts", "Ctrl+Right", nullptr, E::kDocument,
               C::kNone, 0, false},
    CommandRow{40162, M::kRotate, "Um 180° &drehen", "Alt+.", "Alt+.", nullptr, E::kAlways, C::kNone, 0,
               false},
    CommandRow{40105, M::kPalette, "&Grauwerte-Palette einsetzen", "Strg+G", "Ctrl+G", &BuiltInPaletteCommand,
               E::kFalseColourDocument, C::kNone, 0, false},
    CommandRow{40110, M::kPalette, "Grauwerte aus &Intensität berechnen", "", nullptr, &BuiltInPaletteCommand,
               E::kFalseColourDocument, C::kNone, 0, kSep},
    CommandRow{40104, M::kPalette, "Obersten Palettenwert &rot markieren", "", nullptr,
               &BuiltInPaletteCommand, E::kDocument, C::kNone, 0, false},
    CommandRow{40151, M::kPalette, "&Höhenlinien", "Strg+H", "Ctrl+H", &BuiltInPaletteCommand, E::kDocument,
               C::kNone, 0, false},
    CommandRow{40108, M::kPalette, "Regen&bogen", "Strg+R", "Ctrl+R", &BuiltInPaletteCommand, E::kDocument,
               C::kNone, 0, false},
    CommandRow{40149, M::kPalette, "&Doppelter Regenbogen", "Strg+D", "Ctrl+D", &BuiltInPaletteCommand,
               E::kDocument, C::kNone, 0, kSep},
    CommandRow{40109, M::kPalette, "&Falschfarb-Palette einladen...", "Strg+F", "Ctrl+F",
               &LoadRgbPaletteCommand, E::kDocument, C::kNone, 0, false},
    CommandRow{40158, M::kPalette, "Falschfarb-Palette &exportieren...", "", nullptr,
               &ExportRgbPaletteCommand, E::kDocument, C::kNone, 0, false},
    CommandRow{40013, M::kTools, "Bitmap&größe ändern...", "Strg+Shift+G", "Ctrl+Shift+G", nullptr,
               E::kDocument, C::kNone, 0, false},

    CommandRow{40018, M::kBitOps, "&NOT (invertieren)", "", nullptr, nullptr, E::kDocument, C::kNone, 0,
               false},
    CommandRow{40020, M::kBitOps, "&AND (bitweises UND)...", "", nullptr, nullptr, E::kDocument, C::kNone, 0,
               false},
    CommandRow{40019, M::kBitOps, "&OR (inklusives ODER)...", "", nullptr, nullptr, E::kDocument, C::kNone, 0,
               false},
    CommandRow{40009, M::kBitOps, "&XOR (exklusives ODER)...", "", nullptr, nullptr, E::kDocument, C::kNone,
               0, kSep},
    CommandRow{40022, M::kBitOps, "R&L (Bits nach links rotieren)", "", nullptr, nullptr, E::kDocument,
               C::kNone, 0, false},
    CommandRow{40021, M::kBitOps, "R&R (Bits nach rechts rotieren)", "", nullptr, nullptr, E::kDocument,
               C::kNone, 0, false},
    CommandRow{40023, M::kBitOps, "SL (Bits nach links verschieben)", "", nullptr, nullptr, E::kDocument,
               C::kNone, 0, false},
    CommandRow{40024, M::kBitOps, "SR (Bits nach rechts verschieben)", "", nullptr, nullptr, E::kDocument,
               C::kNone, 0, false},
    CommandRow{40132, M::kBitOps, "BI (Bitreihenfolge invertieren)", "", nullptr, nullptr, E::kDocument,
               C::kNone, 0, false},
    CommandRow{40014, M::kPointOps, "&Palette / Histogramm...", "F5", "F5", &PaletteEditorCommand,
               E::kGrayRampDocument, C::kNone, 0, false},
    CommandRow{40065, M::kPointOps, "&Normalisieren", "Strg+N", "Ctrl+N", nullptr, E::kDocument, C::kNone, 0,
               kSep},
    CommandRow{40139, M::kPointOps, "AN&D mit Bitmap-Datei...", "", nullptr, nullptr, E::kDocument, C::kNone,
               0, false},
    CommandRow{40140, M::kPointOps, "&OR mit Bitmap-Datei...", "", nullptr, nullptr, E::kDocument, C::kNone,
               0, false},
    CommandRow{40141, M::kPointOps, "&XOR mit Bitmap-Datei...", "", nullptr, nullptr, E::kDocument, C::kNone,
               0, false},
    CommandRow{40046, M::kPointOps, "Bitmap-Datei &addieren...", "", nullptr, nullptr, E::kDocument, C::kNone,
               0, false},
    CommandRow{40048, M::kPointOps, "Mit Bitmap-Datei m&ischen...", "", nullptr, nullptr, E::kDocument,
               C::kNone, 0, false},
    CommandRow{40045, M::kPointOps, "Bitmap-Datei &subtrahieren...", "", nullptr, nullptr, E::kDocument,
               C::kNone, 0, false},
    CommandRow{40054, M::kPointOps, "Von Bitmap-Datei subtrahieren...", "", nullptr, nullptr, E::kDocument,
               C::kNone, 0, false},
    CommandRow{40047, M::kPointOps, "Mit Bitmap-Datei &multiplizieren...", "", nullptr, nullptr, E::kDocument,
               C::kNone, 0, kSep},
    CommandRow{40142, M::kPointOps, "AND mit Bitmap in Zwischenablage", "", nullptr, nullptr,
               E::kClipboardOperand, C::kNone, 0, false},
    CommandRow{40143, M::kPointOps, "OR mit Bitmap in Zwischenablage", "", nullptr, nullptr,
               E::kClipboardOperand, C::kNone, 0, false},
    CommandRow{40144, M::kPointOps, "XOR mit Bitmap in Zwischenablage", "", nullptr, nullptr,
               E::kClipboardOperand, C::kNone, 0, false},
    CommandRow{40050, M::kPointOps, "Bitmap in Zwischenablage addieren", "", nullptr, nullptr,
               E::kClipboardOperand, C::kNone, 0, false},
    CommandRow{40052, M::kPointOps, "Mit Bitmap in Zwischenablage mischen", "", nullptr, nullptr,
               E::kClipboardOperand, C::kNone, 0, false},
    CommandRow{40049, M::kPointOps, "Bitmap in Zwischenablage subtrahieren", "", nullptr, nullptr,
               E::kClipboardOperand, C::kNone, 0, false},
    CommandRow{40055, M::kPointOps, "Von Bitmap in Zwischenablage subtrahieren", "", nullptr, nullptr,
               E::kClipboardOperand, C::kNone, 0, false},
    CommandRow{40051, M::kPointOps, "Mit Bitmap in Zwischenablage multiplizieren", "", nullptr, nullptr,
               E::kClipboardOperand, C::kNone, 0, false},
    CommandRow{40029, M::kLocalOps, "Lokal &normalisieren...", "F6", "F6", nullptr, E::kDocument, C::kNone, 0,
               false},
    CommandRow{40030, M::kLocalOps, "&Rangordnungsfilter...", "F7", "F7", nullptr, E::kDocument, C::kNone, 0,
               false},
    CommandRow{40053, M::kLocalOps, "Gradientenfilter...", "F8", "F8", nullptr, E::kDocument, C::kNone, 0,
               kSep},
    CommandRow{40015, M::kLocalOps, "&Lineares Filter aus Datei...", "Strg+L", "Ctrl+L", nullptr,
               E::kDocument, C::kNone, 0, false},
    // The keyboard label promises Ctrl+1, but no key sends this command.
    CommandRow{40056, M::kLocalOps, "Rechteck (3x3)", "Strg+1", nullptr, nullptr, E::kDocument, C::kNone, 0,
               false},
    CommandRow{40057, M::kLocalOps, "Rechteck (5x5)", "Strg+2", "Ctrl+2", nullptr, E::kDocument, C::kNone, 0,
               false},
    CommandRow{40058, M::kLocalOps, "Gauss (3x3)", "Strg+3", "Ctrl+3", nullptr, E::kDocument, C::kNone, 0,
               false},
    CommandRow{40059, M::kLocalOps, "Gauss (5x5)", "Strg+4", "Ctrl+4", nullptr, E::kDocument, C::kNone, 0,
               false},
    CommandRow{40060, M::kLocalOps, "Unscharfmaske (3x3)", "Strg+5", "Ctrl+5", nullptr, E::kDocument,
               C::kNone, 0, false},
    CommandRow{40061, M::kLocalOps, "Unscharfmaske (5x5)", "Strg+6", "Ctrl+6", nullptr, E::kDocument,
               C::kNone, 0, false},
    CommandRow{40062, M::kLocalOps, "Ableitungsfilter horizontal", "Strg+7", "Ctrl+7", nullptr, E::kDocument,
               C::kNone, 0, false},
    CommandRow{40063, M::kLocalOps, "Ableitungsfilter vertikal", "Strg+8", "Ctrl+8", nullptr, E::kDocument,
               C::kNone, 0, false},
    CommandRow{40064, M::kLocalOps, "Ableitungsfilter diagonal", "Strg+9", "Ctrl+9", nullptr, E::kDocument,
               C::kNone, 0, false},
    CommandRow{40016, M::kGlobalOps, "&Spektrum bearbeiten...", "F9", "F9", nullptr, E::kDocument, C::kNone,
               0, kSep},
    CommandRow{40106, M::kGlobalOps, "Größe &automatisch festlegen", "Strg+Shift+F9", "Ctrl+Shift+F9",
               nullptr, E::kAlways, C::kOwnMark, 1, false},
    CommandRow{40107, M::kGlobalOps, "&Größe manuell festlegen...", "Strg+F9", "Ctrl+F9", nullptr, E::kAlways,
               C::kOwnMark, 0, false},

    CommandRow{40100, M::kParticles, "&Maxima suchen...", "", nullptr, &CountParticlesCommand, E::kDocument,
               C::kNone, 0, false},
    CommandRow{40103, M::kParticles, "&Binarisation...", "", nullptr, &CountParticlesCommand, E::kDocument,
               C::kNone, 0, false},
    CommandRow{40130, M::kParticles, "Streifen erkennen (mit Binarisation)...", "", nullptr,
               &CountParticlesCommand, E::kDocument, C::kNone, 0, kSep},
    CommandRow{40111, M::kParticles, "Beim Exportieren &deutsches Zahlenformat", "", nullptr,
               &GermanNumbersCommand, E::kAlways, C::kOwnMark, 0, false},

    CommandRow{40017, M::kHelp, "Über das &Programm...", "F1", "F1", &AboutCommand, E::kAlways, C::kNone, 0,
               false},

    // Posted at start with the file name of the command line.
    CommandRow{40167, M::kReserved, "Beim Starten sofort öffnen", "", nullptr, &OpenAtStartCommand,
               E::kAlways, C::kNone, 0, false},
    CommandRow{40170, M::kReserved, "Beim Starten sofort importieren", "", nullptr, &ImportAtStartCommand,
               E::kAlways, C::kNone, 0, false},
};

}  // namespace

std::span<const CommandRow> CommandTable() {
    return kCommands;
}

std::span<const MenuPopup> MenuPopups() {
    return kPopups;
}

const CommandRow* FindCommand(int id) {
    const auto row =
        std::find_if(kCommands.begin(), kCommands.end(), [id](const CommandRow& r) { return r.id == id; });
    return row == kCommands.end() ? nullptr : &*row;
}

const MenuPopup* FindPopup(MenuId id) {
    const auto popup =
        std::find_if(kPopups.begin(), kPopups.end(), [id](const MenuPopup& p) { return p.id == id; });
    return popup == kPopups.end() ? nullptr : &*popup;
}

bool RuleEnables(EnableRule rule, const MenuStateInput& in) {
    switch (rule) {
        case E::kAlways:
            return true;
        case E::kDocument:
            return in.hasDocument;
        case E::kDocumentWithPath:
            return in.hasDocument && in.hasPath;
        case E::kGrayRampDocument:
            return in.hasDocument && in.grayRamp;
        case E::kFalseColourDocument:
            return in.hasDocument && !in.grayRamp;
        case E::kUndoAvailable:
            return in.undoMatches;
        case E::kClipboardImage:
            return in.clipboardHasImage;
        case E::kClipboardOperand:
            return in.hasDocument && in.clipboardHasImage && in.clipboardWidth == in.documentWidth &&
                   in.clipboardHeight == in.documentHeight;
    }
    return false;
}

bool RuleChecks(const CommandRow& row, const MenuStateInput& input, bool ownMark) {
    switch (row.check) {
        case C::kOwnMark:
            return ownMark;
        case C::kPenSize:
            return input.penSize == row.checkValue;
        case C::kNone:
            break;
    }
    return false;
}

QString MenuEntryText(const CommandRow& row) {
    QString text = QString::fromUtf8(row.text);
    const QString label = QString::fromUtf8(row.label);
    if (!label.isEmpty()) text += '\t' + label;
    return text;
}

}  // namespace tarkemo::app
