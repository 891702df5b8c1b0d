// Reading pieces of a linear filter file's text: blanks and line ends, runs of characters,
// decimal digit runs, plain decimal numbers, prefix matching of keywords, and the decoding of the
// file's 8-bit text (Windows-1252) for display.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tarkemo::filterfile {

inline bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
inline bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}
inline bool IsSeparator(char c) {
    return IsBlank(c) || IsLineEnd(c);
}

// A decimal digit run read as a whole number: the value saturates at kSaturated, the parity is
// that of the full number.
struct DigitRun {
    static constexpr int64_t kSaturated = int64_t{1} << 40;
    size_t length = 0;
    int64_t value = 0;
    bool odd = false;
};

// A plain decimal number converted to single precision.
struct Number {
    size_t length = 0;  // characters read; 0 when no number starts here
    float value = 0.0f;
    bool infinite = false;  // its magnitude is infinite in single precision
};

// A read position in the comment-free text; the text ends at its end.
class Cursor {
  public:
    explicit Cursor(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
    void Advance(size_t count = 1) { pos_ = std::min(text_.size(), pos_ + count); }
    std::string_view Rest() const { return text_.substr(pos_); }
    size_t Position() const { return pos_; }
    // The text from `start` up to the cursor.
    std::string_view Since(size_t start) const { return text_.substr(start, pos_ - start); }

    void SkipBlanks();
    void SkipSeparators();
    // A run up to a blank, tab, CR, LF or the end; with stopAfterColon also up to and including a ':'.
    std::string_view ReadRun(bool stopAfterColon);
    DigitRun ReadDigits();
    // Reads a number in the plain decimal syntax: optional sign, digits with an optional "." and an
    // optional exponent "e"/"E" (taken only when digits follow it). Nothing is read if none starts here.
    Number ReadNumber();

  private:
    std::string_view text_;
    size_t pos_ = 0;
};

// The first of the candidates of which `run` is a prefix (a non-empty run), or none.
std::optional<size_t> SelectByPrefix(std::string_view run, std::span<const std::string_view> candidates);

// Windows-1252 to UTF-8; the five undefined bytes become the C1 controls of the same value.
std::string DecodeWindows1252(std::string_view text);

}  // namespace tarkemo::filterfile
