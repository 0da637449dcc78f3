#ifndef KVX_CORE_STRING_H
#define KVX_CORE_STRING_H

// Fixed-size text value used by the parsers. Holds its characters inline and
// never allocates; every operation stays inside the 1024-byte buffer, and text
// that would not fit is cut at 1023 characters.

#include <cstdint>

class String {
public:
    static constexpr int kBufferSize = 1024;
    static constexpr int kMaxLength = kBufferSize - 1;

    char data[kBufferSize];
    int32_t capacity;  // length() never reports more than this

    // An empty text of the default capacity.
    String();
    // An empty text whose length is limited to n characters (at most 1023).
    String(int n);
    // A copy of text, cut at 1023 characters.
    String(const char* text);
    // A copy of other.
    String(const String& other) = default;
    // Copies other into this text; returns this text.
    String& operator=(const String& other) = default;

    // Returns the number of characters, never more than the capacity.
    int length() const;
    // Empties the text.
    void clear();
    // Returns the character at i, or 0 outside the text.
    int charAt(int i) const;

    // Returns the first index at or after from that holds c, or -1.
    int indexOf(char c, int from) const;
    // Returns the first index that holds c, or -1.
    int indexOf(char c) const;
    // Returns the first index at or after from that holds a digit, or -1.
    int indexOfNumber(int from) const;
    // Returns the first index that holds a digit, or -1.
    int indexOfNumber() const;
    // Returns the first index at or after from that holds no digit, or -1.
    int indexOfNotNumber(int from) const;
    // Returns the first index that holds no digit, or -1.
    int indexOfNotNumber() const;

    // Returns the characters from begin up to (not including) end; empty when the range is invalid.
    String subString(int begin, int end) const;
    // Returns the text without its leading blanks.
    String trim() const;
    // Returns the first number in the text (digits, an optional fraction and a leading minus), or 0.
    float findNumber() const;

    // Compares character by character: negative, 0 or positive as this text sorts before, equal to or after
    // other (-1 when both are empty).
    int compareTo(const String& other) const;
    // The same comparison against a C string.
    int compareTo(const char* other) const;

    // Returns this text followed by other, cut at the capacity.
    String operator+(const String& other) const;
    // Returns this text followed by ch, cut at the capacity.
    String operator+(char ch) const;

    // Returns the characters as a C string.
    operator char*();
    // Returns the characters as a C string.
    char* toChar();

private:
    int usableCapacity() const;
    template <typename Match>
    int scan(int from, Match match) const;
};

#endif
