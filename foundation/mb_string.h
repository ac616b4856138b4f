#pragma once
// mb_string_c: text typed into menus, counted in characters of the active
// multibyte code page (platform/win32/multibyte.h) rather than in bytes. A
// character code is the byte, or lead * 256 + trail for a two-byte
// character. Storage follows string_c's rules (shared empty byte, growth by
// doubling, never shrinking); positions count characters, negative ones from
// the end, and out-of-range positions clamp or do nothing.
#include "foundation/text_string.h"
#include "foundation/types.h"

class mb_string_c {
public:
    mb_string_c();
    mb_string_c(const mb_string_c& other) = default;
    explicit mb_string_c(const string_c& text);
    mb_string_c& operator=(const mb_string_c& other) = default;

    // Null, 0 characters or 0 bytes give the empty string.
    void Assign(const char* text, unsigned chars, unsigned bytes);
    // Counts the characters with the code page.
    void Assign(const char* text, unsigned bytes);
    void Append(const char* text, unsigned chars, unsigned bytes);
    void Insert(int charPos, const char* text, unsigned chars, unsigned bytes);
    // Code 0 adds nothing.
    mb_string_c& operator+=(unsigned code);
    void Insert(int charPos, unsigned code);

    // The code at a character index; negative counts from the end (the first
    // character when still negative); past the end gives 0.
    unsigned operator[](int index) const;
    void Erase(int pos, unsigned count);
    void Truncate(int pos);
    // Character index of the first match, or -1; alphabetic codes match in
    // either case of the code page.
    int Find(unsigned code) const;

    // Byte offset of character index i (the byte length at or past the end).
    u32 ByteOffset(u32 charIndex) const;
    // Code of character i, 0 at or past the end.
    unsigned CharAt(u32 charIndex) const;

    const char* GetData() const { return bytes.GetData(); }
    u32 GetChars() const { return chars; }
    u32 GetBytes() const { return bytes.GetLength(); }
    u32 GetCapacity() const { return bytes.GetCapacity(); }

private:
    // Character index resolved against the count, or -1 while still negative.
    i64 Resolve(int pos) const;

    string_c bytes;
    u32 chars;
};

// Writes the code's bytes and a terminator; returns the byte count (2 for a
// code above 255, 0 for code 0, else 1). buffer needs 3 bytes.
int EncodeMbChar(char* buffer, unsigned code);
