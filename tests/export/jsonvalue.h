// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A small JSON reader for the tests: enough of RFC 8259 to read back what
// the .ipuz writer produced and to refuse anything malformed, written apart
// from the writer so that it cannot share its mistakes.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvel::testing {

struct Json {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool boolean = false;
    double number = 0;
    std::string text; // UTF-8
    std::vector<Json> items;
    std::map<std::string, Json> fields;

    const Json& operator[](const std::string& key) const { return fields.at(key); }
    const Json& operator[](std::size_t i) const { return items.at(i); }
};

class JsonParser {
public:
    explicit JsonParser(std::string_view in) : in_(in) {}

    // The document, or nothing when it is not valid JSON (trailing bytes
    // included).
    std::optional<Json> parse() {
        Json v;
        if (!value(v)) {
            return std::nullopt;
        }
        ws();
        if (pos_ != in_.size()) {
            return std::nullopt;
        }
        return v;
    }

private:
    std::string_view in_;
    std::size_t pos_ = 0;

    void ws() {
        while (pos_ < in_.size() &&
               (in_[pos_] == ' ' || in_[pos_] == '\n' || in_[pos_] == '\r' || in_[pos_] == '\t')) {
            ++pos_;
        }
    }
    bool literal(std::string_view word) {
        if (in_.substr(pos_, word.size()) != word) {
            return false;
        }
        pos_ += word.size();
        return true;
    }
    static void utf8(std::string& out, unsigned cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    bool hex4(unsigned& v) {
        if (pos_ + 4 > in_.size()) {
            return false;
        }
        v = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = in_[pos_++];
            v <<= 4;
            if (c >= '0' && c <= '9') {
                v |= static_cast<unsigned>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                v |= static_cast<unsigned>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                v |= static_cast<unsigned>(c - 'A' + 10);
            } else {
                return false;
            }
        }
        return true;
    }
    bool string(std::string& out) {
        if (pos_ >= in_.size() || in_[pos_] != '"') {
            return false;
        }
        ++pos_;
        while (pos_ < in_.size()) {
            const char c = in_[pos_++];
            if (c == '"') {
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return false;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= in_.size()) {
                return false;
            }
            const char e = in_[pos_++];
            switch (e) {
            case '"':
            case '\\':
            case '/':
                out += e;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                unsigned cp = 0;
                if (!hex4(cp)) {
                    return false;
                }
                if (cp >= 0xD800 && cp < 0xDC00) {
                    unsigned lo = 0;
                    if (!literal("\\u") || !hex4(lo) || lo < 0xDC00 || lo > 0xDFFF) {
                        return false;
                    }
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
                }
                utf8(out, cp);
                break;
            }
            default:
                return false;
            }
        }
        return false;
    }
    bool value(Json& v) {
        ws();
        if (pos_ >= in_.size()) {
            return false;
        }
        const char c = in_[pos_];
        if (c == '{') {
            v.kind = Json::Object;
            ++pos_;
            ws();
            if (pos_ < in_.size() && in_[pos_] == '}') {
                ++pos_;
                return true;
            }
            for (;;) {
                ws();
                std::string key;
                if (!string(key)) {
                    return false;
                }
                ws();
                if (!literal(":")) {
                    return false;
                }
                Json item;
                if (!value(item) || v.fields.count(key)) {
                    return false;
                }
                v.fields.emplace(key, std::move(item));
                ws();
                if (literal("}")) {
                    return true;
                }
                if (!literal(",")) {
                    return false;
                }
            }
        }
        if (c == '[') {
            v.kind = Json::Array;
            ++pos_;
            ws();
            if (pos_ < in_.size() && in_[pos_] == ']') {
                ++pos_;
                return true;
            }
            for (;;) {
                Json item;
                if (!value(item)) {
                    return false;
                }
                v.items.push_back(std::move(item));
                ws();
                if (literal("]")) {
                    return true;
                }
                if (!literal(",")) {
                    return false;
                }
            }
        }
        if (c == '"') {
            v.kind = Json::String;
            return string(v.text);
        }
        if (literal("null")) {
            v.kind = Json::Null;
            return true;
        }
        if (literal("true") || literal("false")) {
            v.kind = Json::Bool;
            v.boolean = in_[pos_ - 1] == 'e' && in_[pos_ - 2] == 'u';
            return true;
        }
        // Numbers: an optional minus, digits without a leading zero, an
        // optional fraction and exponent.
        const std::size_t start = pos_;
        if (pos_ < in_.size() && in_[pos_] == '-') {
            ++pos_;
        }
        const auto digits = [&] {
            const std::size_t from = pos_;
            while (pos_ < in_.size() && in_[pos_] >= '0' && in_[pos_] <= '9') {
                ++pos_;
            }
            return pos_ - from;
        };
        const std::size_t intStart = pos_;
        const std::size_t n = digits();
        if (n == 0 || (n > 1 && in_[intStart] == '0')) {
            return false;
        }
        if (pos_ < in_.size() && in_[pos_] == '.') {
            ++pos_;
            if (digits() == 0) {
                return false;
            }
        }
        if (pos_ < in_.size() && (in_[pos_] == 'e' || in_[pos_] == 'E')) {
            ++pos_;
            if (pos_ < in_.size() && (in_[pos_] == '+' || in_[pos_] == '-')) {
                ++pos_;
            }
            if (digits() == 0) {
                return false;
            }
        }
        v.kind = Json::Number;
        v.number = std::stod(std::string(in_.substr(start, pos_ - start)));
        return true;
    }
};

} // namespace korvel::testing
