#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A small writer of compact JSON text: objects, arrays, strings, integers, booleans and null.
// Commas and quotes are placed by the writer; strings are escaped as JSON requires (quote,
// backslash and every control character; non-ASCII text stays UTF-8, and bytes that are not
// valid UTF-8 become U+FFFD so that the output is always valid JSON).
namespace qm::qmctl {

class JsonWriter {
  public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    // The name of the next member; only inside an object.
    JsonWriter& key(std::string_view name);

    JsonWriter& string(std::string_view text);
    JsonWriter& number(std::int64_t value);
    JsonWriter& boolean(bool value);
    JsonWriter& null();

    // Shorthands for one member of an object.
    JsonWriter& member(std::string_view name, std::string_view text) {
        return key(name).string(text);
    }
    JsonWriter& member(std::string_view name, const char* text) { return key(name).string(text); }
    JsonWriter& member(std::string_view name, std::int64_t value) {
        return key(name).number(value);
    }
    JsonWriter& member(std::string_view name, int value) { return key(name).number(value); }
    JsonWriter& member(std::string_view name, bool value) { return key(name).boolean(value); }

    // The text written so far; a complete document once every object and array is closed.
    const std::string& text() const { return text_; }
    bool complete() const { return !text_.empty() && scopes_.empty(); }

  private:
    enum class Scope { Object, Array };
    struct Open {
        Scope scope;
        bool empty = true;
    };

    void beforeValue();
    void open(Scope scope, char bracket);
    void close(Scope scope, char bracket);

    std::string text_;
    std::vector<Open> scopes_;
    bool keyPending_ = false;
};

// `text` as a JSON string literal, quotes included.
std::string jsonQuoted(std::string_view text);

}  // namespace qm::qmctl
