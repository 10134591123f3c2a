#include "tools/qmctl/json_writer.h"

#include <stdexcept>

namespace qm::qmctl {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

bool isContinuation(unsigned char c) {
    return (c & 0xC0u) == 0x80u;
}

// Length of the valid UTF-8 sequence that starts at text[i], or 0 when none does.
std::size_t validSequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;  // range of the second byte
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;  // no overlong forms
        if (lead == 0xED)
            high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    if (byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (!isContinuation(byte(k)))
            return 0;
    }
    return length;
}

void appendEscaped(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out.push_back('"');
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            switch (c) {
                case '"':
                    out += "\\\"";
                    break;
                case '\\':
                    out += "\\\\";
                    break;
                case '\b':
                    out += "\\b";
                    break;
                case '\f':
                    out += "\\f";
                    break;
                case '\n':
                    out += "\\n";
                    break;
                case '\r':
                    out += "\\r";
                    break;
                case '\t':
                    out += "\\t";
                    break;
                default:
                    if (c < 0x20 || c == 0x7F) {
                        out += "\\u00";
                        out.push_back(kHex[c >> 4]);
                        out.push_back(kHex[c & 0x0F]);
                    } else {
                        out.push_back(static_cast<char>(c));
                    }
            }
            ++i;
            continue;
        }
        const std::size_t length = validSequenceLength(text, i);
        if (length == 0) {
            out += kReplacementCharacter;
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    out.push_back('"');
}

}  // namespace

std::string jsonQuoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    appendEscaped(out, text);
    return out;
}

void JsonWriter::beforeValue() {
    if (scopes_.empty()) {
        if (!text_.empty())
            throw std::logic_error("JsonWriter: a second top-level value");
        return;
    }
    Open& current = scopes_.back();
    if (current.scope == Scope::Object) {
        if (!keyPending_)
            throw std::logic_error("JsonWriter: a value in an object needs a key");
        keyPending_ = false;
        return;
    }
    if (!current.empty)
        text_.push_back(',');
    current.empty = false;
}

void JsonWriter::open(Scope scope, char bracket) {
    beforeValue();
    text_.push_back(bracket);
    scopes_.push_back({scope});
}

void JsonWriter::close(Scope scope, char bracket) {
    if (scopes_.empty() || scopes_.back().scope != scope || keyPending_)
        throw std::logic_error("JsonWriter: unbalanced close");
    scopes_.pop_back();
    text_.push_back(bracket);
}

JsonWriter& JsonWriter::beginObject() {
    open(Scope::Object, '{');
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    close(Scope::Object, '}');
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    open(Scope::Array, '[');
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    close(Scope::Array, ']');
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    if (scopes_.empty() || scopes_.back().scope != Scope::Object || keyPending_)
        throw std::logic_error("JsonWriter: a key outside an object");
    Open& current = scopes_.back();
    if (!current.empty)
        text_.push_back(',');
    current.empty = false;
    appendEscaped(text_, name);
    text_.push_back(':');
    keyPending_ = true;
    return *this;
}

JsonWriter& JsonWriter::string(std::string_view text) {
    beforeValue();
    appendEscaped(text_, text);
    return *this;
}

JsonWriter& JsonWriter::number(std::int64_t value) {
    beforeValue();
    text_ += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::boolean(bool value) {
    beforeValue();
    text_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null() {
    beforeValue();
    text_ += "null";
    return *this;
}

}  // namespace qm::qmctl
