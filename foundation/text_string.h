#pragma once
// string_c: the system's own growable byte string for names, paths, messages
// and tokens. Always NUL-terminated; equality and search ignore ASCII letter
// case, which is what lets file names, keywords and parameter names match
// regardless of how they were typed. Deep copies; every empty string that
// never grew shares one static zero byte and costs no allocation. The buffer
// grows to the larger of twice its capacity and the need, and never shrinks.
//
// Positions are int: a negative position counts from the end (pos + length).
// Out-of-range positions never fail; they clamp or do nothing.
// Numbers are formatted and read in the "C" locale whatever the process uses.
#include <iosfwd>
#include <string>

#include "foundation/types.h"

class string_c {
public:
    string_c();
    string_c(const string_c& other);
    string_c(string_c&& other) noexcept;
    string_c(const char* text);
    string_c(const std::string& text);
    explicit string_c(int value);
    explicit string_c(unsigned value);
    explicit string_c(float value);
    // printf-style ("C" locale); a null or empty format gives the empty
    // string. Results longer than 1023 bytes are cut there.
    template <typename First, typename... Rest>
    string_c(const char* format, First first, Rest... rest) : string_c()
    {
        Format(format, first, rest...);
    }
    ~string_c();

    string_c& operator=(const string_c& other);
    string_c& operator=(string_c&& other) noexcept;
    string_c& operator=(const std::string& text);
    // Assigning the string's own data, or null (the empty string), is allowed.
    string_c& operator=(const char* text);
    // '\0' gives the empty string.
    string_c& operator=(char c);
    string_c& operator=(int value);
    string_c& operator=(unsigned value);

    // A null pointer or '\0' appends nothing.
    string_c& operator+=(const string_c& other);
    string_c& operator+=(const std::string& text);
    string_c& operator+=(const char* text);
    string_c& operator+=(char c);
    string_c& operator+=(int value);
    string_c& operator+=(unsigned value);

    // A null pointer or n = 0 gives the empty string.
    void Assign(const char* text, unsigned n);
    void Append(const char* text, unsigned n);
    // pos is clamped into the text; negative counts from the end.
    void Insert(int pos, const char* text, unsigned n);
    void Insert(int pos, const char* text);
    void Insert(int pos, char c);

    // Length 0; the buffer is kept.
    void Clear();
    void Erase(int pos, unsigned count);
    // Cuts the text at pos; a pos at or past the end does nothing.
    void Truncate(int pos);
    // Makes room for n bytes without changing the text.
    void Reserve(unsigned n);

    string_c Left(unsigned count) const;
    string_c Right(unsigned count) const;
    string_c Mid(int pos, unsigned count) const;

    // Index of the first match (letters in either case), or -1. With a
    // negative start the search runs backward from length + start.
    int Find(char c) const;
    int Find(char c, int start) const;

    // Any index at or past the end yields the terminator; a negative index
    // counts from the end and gives the first byte when still negative.
    const char& operator[](int index) const;
    // Writes one byte inside the text; '\0' cuts the text there. Positions
    // outside the text are ignored, so the shared empty byte is never written.
    void SetChar(int index, char c);

    int ToInt() const;
    std::string ToStdString() const;

    const char* GetData() const { return data; }
    operator const char*() const { return data; }
    u32 GetLength() const { return length; }
    u32 GetCapacity() const { return capacity; }
    bool IsEmpty() const { return length == 0; }

    friend string_c operator+(const string_c& a, const string_c& b);
    friend string_c operator+(const string_c& a, const std::string& b);
    friend string_c operator+(const std::string& a, const string_c& b);
    friend string_c operator+(const string_c& a, const char* b);
    friend string_c operator+(const string_c& a, char b);

    // Replaces the text with a printf-style formatted one, as the constructor.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
    void Allocate(u32 n);
    void AssignTwo(const char* a, u32 n, const char* b, u32 m);
    void Release();
    u32 Grown(u64 target) const;

    char* data;
    u32 length;
    u32 capacity;
};

// Case-insensitive (ASCII); a null pointer counts as the empty string.
bool operator==(const string_c& a, const string_c& b);
bool operator==(const string_c& a, const char* b);
bool operator==(const char* a, const string_c& b);
bool operator!=(const string_c& a, const char* b);
bool operator!=(const string_c& a, const string_c& b);

std::ostream& operator<<(std::ostream& out, const string_c& text);
// One blank-delimited word.
std::istream& operator>>(std::istream& in, string_c& text);

// Format into buffer with "%d", "%u" or "%g" ("C" locale); return the length.
// The buffer needs room for 32 bytes.
int IntToText(char* buffer, int value);
int UnsignedToText(char* buffer, unsigned value);
int FloatToText(char* buffer, float value);

// Copies src up to its terminator but at most max bytes (0: no limit), then
// always a terminator, so dest needs max + 1 bytes. Returns dest.
char* CopyStringLimited(char* dest, const char* src, unsigned max);

// atoi and atof in the "C" locale: leading blanks skipped, the longest number
// prefix taken, 0 for text that is not a number or a null pointer.
int TextToInt(const char* text);
double TextToDouble(const char* text);
