#pragma once
// lws_tokenizer_c: splits the text of a LightWave scene into blank-separated
// words, whole lines and quoted strings, and turns words into numbers (in
// the "C" locale). Blanks are space, tab, carriage return, line feed, form
// feed and vertical tab. The bytes stay the input file's, which must outlive
// the tokenizer. The throwing forms report the end of the text with
// file_error_c(file name, "Unexpected end of file!").
#include "foundation/memory_file.h"
#include "foundation/text_string.h"
#include "foundation/types.h"
#include "foundation/vector_math.h"

#include <string_view>

class lws_tokenizer_c {
public:
    explicit lws_tokenizer_c(const input_file_c& _file);

    // Skips blanks and reads the next run of non-blank characters; false at
    // the end of the text.
    bool TryReadWord(string_c& _word);
    // As TryReadWord, but the word is a view into the text: no copy is made.
    bool TryReadView(std::string_view& _word);
    // Skips blanks (line ends included, so a line is never empty), then reads
    // up to 1023 characters before the next line feed; the line feed stays
    // unread, and a carriage return before it is kept. The rest of a longer
    // line is left for the next reads. False at the end of the text.
    bool TryReadLine(string_c& _line);
    // Skips blanks; the next character must be '"'; reads everything up to the
    // closing quote (line ends kept, quotes dropped). False when there is no
    // opening quote (nothing is consumed then) or no closing one.
    bool TryReadQuoted(string_c& _text);

    // Skips everything up to the next '"', then reads as TryReadQuoted; false
    // when either quote is missing.
    bool TryReadQuotedAhead(string_c& _text);

    string_c ReadWord();
    // Passes over the next word.
    void SkipWord();
    string_c ReadLine();
    string_c ReadQuoted();
    // The leading decimal number of the next word, as atoi gives it (0 for a
    // word that is no number).
    int ReadInt();
    // As atof gives it.
    float ReadFloat();
    // Three floats in degrees, stored in radians.
    void ReadAngles(vec3_c& _angles);

    // Position in the text, for readers that look ahead and step back.
    u32 GetPosition() const { return position; }
    void SetPosition(u32 _position) { position = _position < size ? _position : size; }
    // Bytes of text after the position.
    u32 GetRemaining() const { return size - position; }
    const string_c& GetFileName() const { return fileName; }

private:
    void SkipBlanks();
    // The bytes of _word with a closing zero, for the runtime's conversions.
    const char* Terminated(std::string_view _word);
    [[noreturn]] void ThrowEnd() const;

    const char* text;
    u32 size;
    u32 position;
    string_c fileName;
    string_c number; // a word handed to the runtime's conversions, kept to spare allocations
};
