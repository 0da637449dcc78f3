#include "core/String.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int kDefaultCapacity = 256;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int limitLength(int n) {
    if (n > String::kMaxLength) return String::kMaxLength;
    return n;
}

}  // namespace

String::String() : String(kDefaultCapacity) {}

String::String(int n) : capacity(limitLength(n)) {
    // The whole buffer, not just the first n bytes: copies never carry garbage.
    std::memset(data, 0, sizeof data);
}

String::String(const char* text) {
    std::memset(data, 0, sizeof data);
    int n = text ? limitLength(int(strnlen(text, kBufferSize))) : 0;
    if (n > 0) std::memcpy(data, text, size_t(n));
    capacity = n;
}

int String::usableCapacity() const {
    if (capacity < 0) return 0;
    return limitLength(capacity);
}

int String::length() const {
    int cap = usableCapacity();
    return int(strnlen(data, size_t(cap)));
}

void String::clear() { std::memset(data, 0, size_t(usableCapacity())); }

int String::charAt(int i) const {
    if (i < 0 || i >= length()) return 0;
    return static_cast<signed char>(data[i]);
}

template <typename Match>
int String::scan(int from, Match match) const {
    int len = length();
    if (from > len) from = len;
    if (from < 0) from = 0;
    for (int i = from; i < len; ++i)
        if (match(data[i])) return i;
    return -1;
}

int String::indexOf(char c, int from) const {
    return scan(from, [c](char x) { return x == c; });
}

int String::indexOf(char c) const { return indexOf(c, 0); }

int String::indexOfNumber(int from) const { return scan(from, isDigit); }

int String::indexOfNumber() const { return indexOfNumber(0); }

int String::indexOfNotNumber(int from) const {
    return scan(from, [](char x) { return !isDigit(x); });
}

int String::indexOfNotNumber() const { return indexOfNotNumber(0); }

String String::subString(int begin, int end) const {
    int len = length();
    if (end > len) end = len;
    if (begin > len) begin = len;
    if (begin < 0 || end < 0 || end < begin) return String(1);
    String out(len);
    std::memcpy(out.data, data + begin, size_t(end - begin));
    out.data[end - begin] = '\0';
    return out;
}

String String::trim() const {
    int first = scan(0, [](char x) { return x != ' '; });
    // Nothing but blanks (or nothing at all): the text comes back as it is.
    if (first < 0) first = 0;
    return subString(first, length());
}

float String::findNumber() const {
    int start = indexOfNumber();
    if (start < 0) return 0.0f;
    int len = length();
    int end = indexOfNotNumber(start);
    if (end < 0) end = len;
    if (charAt(end) == '.') {
        end = indexOfNotNumber(end + 1);
        if (end < 0) end = len;
    }
    float value = float(std::atof(subString(start, end).data));
    return charAt(start - 1) == '-' ? -value : value;
}

int String::compareTo(const String& other) const {
    int a = length();
    int b = other.length();
    if (a == 0 && b == 0) return -1;
    int m = a < b ? a : b;
    for (int i = 0; i < m; ++i) {
        signed char x = static_cast<signed char>(data[i]);
        signed char y = static_cast<signed char>(other.data[i]);
        if (x != y) return x > y ? 1 : -1;
    }
    return a - b;
}

int String::compareTo(const char* other) const { return compareTo(String(other)); }

String String::operator+(const String& other) const {
    int a = length();
    int b = limitLength(a + other.length()) - a;
    String out(a + b + 1);
    std::memcpy(out.data, data, size_t(a));
    std::memcpy(out.data + a, other.data, size_t(b));
    out.data[a + b] = '\0';
    return out;
}

String String::operator+(char ch) const {
    int a = length();
    String out(a + 1);
    std::memcpy(out.data, data, size_t(a));
    if (a < kMaxLength) out.data[a] = ch;
    return out;
}

String::operator char*() { return data; }

char* String::toChar() { return data; }
