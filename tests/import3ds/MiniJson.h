#ifndef KVX_TESTS_MINIJSON_H
#define KVX_TESTS_MINIJSON_H

// Just enough JSON to read the reference figures of the real-world files:
// objects, arrays, strings without escapes beyond \" and \\, numbers.

#include <cctype>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct Json {
    enum Kind { Null, Number, String, Array, Object } kind = Null;
    double number = 0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> fields;

    const Json& operator[](const std::string& k) const {
        static const Json none;
        auto it = fields.find(k);
        return it == fields.end() ? none : it->second;
    }
    const Json& operator[](size_t i) const { return items.at(i); }
    size_t size() const { return kind == Array ? items.size() : fields.size(); }
    bool has(const std::string& k) const { return fields.count(k) != 0; }

    static Json parse(const std::string& s) {
        size_t at = 0;
        return value(s, at);
    }

private:
    static void skip(const std::string& s, size_t& at) {
        while (at < s.size() && std::isspace(static_cast<unsigned char>(s[at]))) ++at;
    }
    static std::string str(const std::string& s, size_t& at) {
        std::string out;
        ++at;
        while (at < s.size() && s[at] != '"') {
            if (s[at] == '\\' && at + 1 < s.size()) ++at;
            // \u00XX: one byte, as the 3DS files store such names (Latin-1).
            if (s[at - 1] == '\\' && s[at] == 'u' && at + 4 < s.size()) {
                out += static_cast<char>(std::stoi(s.substr(at + 1, 4), nullptr, 16) & 0xFF);
                at += 5;
                continue;
            }
            out += s[at++];
        }
        ++at;
        return out;
    }
    static Json value(const std::string& s, size_t& at) {
        Json j;
        skip(s, at);
        if (at >= s.size()) return j;
        char c = s[at];
        if (c == '{') {
            j.kind = Object;
            ++at;
            for (skip(s, at); at < s.size() && s[at] != '}'; skip(s, at)) {
                std::string key = str(s, at);
                skip(s, at);
                ++at;  // ':'
                j.fields[key] = value(s, at);
                skip(s, at);
                if (s[at] == ',') ++at;
            }
            ++at;
        } else if (c == '[') {
            j.kind = Array;
            ++at;
            for (skip(s, at); at < s.size() && s[at] != ']'; skip(s, at)) {
                j.items.push_back(value(s, at));
                skip(s, at);
                if (s[at] == ',') ++at;
            }
            ++at;
        } else if (c == '"') {
            j.kind = String;
            j.text = str(s, at);
        } else if (c == 'n' || c == 't' || c == 'f') {
            j.kind = c == 'n' ? Null : Number;
            j.number = c == 't' ? 1 : 0;
            while (at < s.size() && std::isalpha(static_cast<unsigned char>(s[at]))) ++at;
        } else {
            j.kind = Number;
            char* end = nullptr;
            j.number = std::strtod(s.c_str() + at, &end);
            at = static_cast<size_t>(end - s.c_str());
        }
        return j;
    }
};

#endif
