#include "image/palette_files.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

#include "image/atomic_file.h"
#include "image/input_file.h"

namespace tarkemo {

namespace {

// A palette file holds about 3 KB; anything beyond this is not one of ours and is refused unread.
constexpr int64_t kMaxPaletteFileBytes = 64 * 1024 * 1024;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Walks through the text of a palette file. The text ends at its first 0 byte, as the file is
// handled as a C string.
class TextCursor {
  public:
    explicit TextCursor(std::string_view text) : text_(text.substr(0, text.find('\0'))) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    bool StartsWith(std::string_view prefix) const { return text_.substr(pos_).starts_with(prefix); }
    void Advance(size_t count) { pos_ = std::min(pos_ + count, text_.size()); }

    // The number at the current position without moving: white space (line ends included) is
    // skipped, an optional sign and decimal digits are taken, no digits count as 0. Large values
    // saturate, which the range checks refuse like any value above 255.
    int64_t NumberHere() const {
        size_t i = pos_;
        while (i < text_.size() && IsSpace(text_[i])) ++i;
        bool negative = false;
        if (i < text_.size() && (text_[i] == '+' || text_[i] == '-')) negative = text_[i++] == '-';
        int64_t value = 0;
        for (; i < text_.size() && IsDigit(text_[i]); ++i)
            value = std::min<int64_t>(value * 10 + (text_[i] - '0'), 1000000);
        return negative ? -value : value;
    }

    // Moves over the sign and digits of a number that starts right here.
    void SkipSignAndDigits() {
        if (!AtEnd() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
        while (!AtEnd() && IsDigit(text_[pos_])) ++pos_;
    }

    // Moves over blanks, TABs and the separators "," and ";" between the values of an RGB line.
    void SkipSeparators() {
        while (!AtEnd() &&
               (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == ',' || text_[pos_] == ';')) {
            ++pos_;
        }
    }

    void SkipSpace() {
        while (!AtEnd() && IsSpace(text_[pos_])) ++pos_;
    }

    void SkipToLineEnd() {
        while (!AtEnd() && !IsLineEnd(text_[pos_])) ++pos_;
    }

    void SkipLineEnds() {
        while (!AtEnd() && IsLineEnd(text_[pos_])) ++pos_;
    }

  private:
    std::string_view text_;
    size_t pos_ = 0;
};

std::optional<uint8_t> ReadLevel(const TextCursor& cursor) {
    const int64_t value = cursor.NumberHere();
    if (value < 0 || value > 255) return std::nullopt;
    return static_cast<uint8_t>(value);
}

// Moves from the value just read to the next line's first character (blank lines and lines of white
// space included, so they never count as a value). False when the text ends on the way.
bool NextLine(TextCursor& cursor) {
    cursor.SkipToLineEnd();
    cursor.SkipSpace();
    return !cursor.AtEnd();
}

// Red, green and blue of one entry line, starting at its first character.
std::optional<ColourEntry> ReadRgbEntry(TextCursor& cursor) {
    uint8_t values[3];
    for (int k = 0; k < 3; ++k) {
        if (k > 0) {
            cursor.SkipSignAndDigits();
            cursor.SkipSeparators();
            if (cursor.AtEnd()) return std::nullopt;
        }
        const std::optional<uint8_t> value = ReadLevel(cursor);
        if (!value) return std::nullopt;
        values[k] = *value;
    }
    return ColourEntry{values[2], values[1], values[0], 0};
}

void AppendNumber(std::string& text, int value) {
    text += std::to_string(value);
}

// The whole regular file, or none when it cannot be opened or read completely or is implausibly large.
std::optional<std::string> ReadWholeFile(const std::string& path) {
    const InputFile file(path);
    if (!file.ok() || file.size() > kMaxPaletteFileBytes) return std::nullopt;
    try {
        std::string bytes(static_cast<size_t>(file.size()), '\0');
        if (!file.ReadAt(bytes.data(), bytes.size(), 0)) return std::nullopt;
        return bytes;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool WriteText(const std::string& path, const std::string& text) {
    return WriteFileAtomically(path, text);
}

}  // namespace

std::optional<ColourTable> DecodeRgbPalette(std::string_view text) {
    TextCursor cursor(text);
    if (!cursor.StartsWith(kRgbPaletteIdentification)) return std::nullopt;
    cursor.SkipToLineEnd();  // the rest of the identification line is free
    ColourTable table{};
    for (int i = 0; i < 256; ++i) {
        if (!NextLine(cursor)) return std::nullopt;
        const std::optional<ColourEntry> entry = ReadRgbEntry(cursor);
        if (!entry) return std::nullopt;
        table[i] = *entry;
    }
    return table;
}

std::string EncodeRgbPalette(const ColourTable& table) {
    std::string text(kRgbPaletteIdentification);
    text += "\r\n";
    for (const ColourEntry& entry : table) {
        AppendNumber(text, entry.red);
        text += '\t';
        AppendNumber(text, entry.green);
        text += '\t';
        AppendNumber(text, entry.blue);
        text += "\r\n";
    }
    return text;
}

std::optional<GrayLevels> DecodeGrayPalette(std::string_view text) {
    TextCursor cursor(text);
    const std::string identification = std::string(kGrayPaletteIdentification) + "\r\n";
    if (!cursor.StartsWith(identification)) return std::nullopt;
    cursor.Advance(identification.size());
    GrayLevels levels{};
    for (int i = 0; i < 256; ++i) {
        // Empty lines before a level are passed over, the first level included.
        cursor.SkipSpace();
        if (cursor.AtEnd()) return std::nullopt;
        const std::optional<uint8_t> level = ReadLevel(cursor);
        if (!level) return std::nullopt;
        levels[i] = *level;
        cursor.SkipToLineEnd();
    }
    return levels;
}

std::string EncodeGrayPalette(const GrayLevels& levels) {
    std::string text(kGrayPaletteIdentification);
    text += "\r\n";
    for (uint8_t level : levels) {
        AppendNumber(text, level);
        text += "\r\n";
    }
    return text;
}

PaletteFileResult ReadRgbPaletteFile(const std::string& path, ColourTable& table) {
    const std::optional<std::string> text = ReadWholeFile(path);
    if (!text) return kRgbPaletteReadFailed;
    const std::optional<ColourTable> decoded = DecodeRgbPalette(*text);
    if (!decoded) return kRgbPaletteReadFailed;
    table = *decoded;
    return {};
}

PaletteFileResult WriteRgbPaletteFile(const GrayBitmap& bitmap, const std::string& path) {
    try {
        if (WriteText(path, EncodeRgbPalette(bitmap.colours))) return {};
    } catch (const std::bad_alloc&) {
    }
    return kRgbPaletteWriteFailed;
}

PaletteFileResult ReadGrayPaletteFile(const std::string& path, GrayLevels& levels) {
    const std::optional<std::string> text = ReadWholeFile(path);
    if (!text) return kGrayPaletteReadFailed;
    const std::optional<GrayLevels> decoded = DecodeGrayPalette(*text);
    if (!decoded) return kGrayPaletteReadFailed;
    levels = *decoded;
    return {};
}

PaletteFileResult WriteGrayPaletteFile(const std::string& path, const GrayLevels& levels) {
    try {
        if (WriteText(path, EncodeGrayPalette(levels))) return {};
    } catch (const std::bad_alloc&) {
    }
    return kGrayPaletteWriteFailed;
}

}  // namespace tarkemo
