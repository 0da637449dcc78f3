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

    String();
    String(int n);
    String(const char* text);
    String(const String& other) = default;
    String& operator=(const String& other) = default;

    int length() const;
    void clear();
    int charAt(int i) const;

    int indexOf(char c, int from) const;
    int indexOf(char c) const;
    int indexOfNumber(int from) const;
    int indexOfNumber() const;
    int indexOfNotNumber(int from) const;
    int indexOfNotNumber() const;

    String subString(int begin, int end) const;
    String trim() const;
    float findNumber() const;

    int compareTo(const String& other) const;
    int compareTo(const char* other) const;

    String operator+(const String& other) const;
    String operator+(char ch) const;

    operator char*();
    char* toChar();

private:
    int usableCapacity() const;
    template <typename Match>
    int scan(int from, Match match) const;
};

#endif
