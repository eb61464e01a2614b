#pragma once

// Data for the page written as JSON text in the module's memory and handed
// over in one piece: a table of hundreds of entries built one property at a
// time would cross into the page's script hundreds of times, which is most
// of the page's start on a slow phone. The page's JSON.parse makes it the
// same objects.

#include <emscripten/val.h>

#include <string>
#include <string_view>
#include <utility>

namespace calvetra::web {

class Json {
public:
    static Json object() { return Json('{', '}'); }
    static Json array() { return Json('[', ']'); }
    static Json null() { return Json(std::string("null"), 0); }
    Json(const char* s);  // null for a null pointer
    Json(std::string_view s);
    Json(const std::string& s) : Json(std::string_view(s)) {}
    Json(int n) : text_(std::to_string(n)) {}
    Json(double n);
    Json(bool b) : text_(b ? "true" : "false") {}

    // An object's property; an array's next element.
    void set(std::string_view key, const Json& value);
    void push(const Json& value);

    // The finished text, and the same parsed on the page's side.
    std::string text() const { return close_ ? text_ + close_ : text_; }
    emscripten::val parsed() const;

private:
    Json(char open, char close) : text_(1, open), close_(close) {}
    explicit Json(std::string literal, int) : text_(std::move(literal)) {}
    void separate();

    std::string text_;
    char close_ = 0;  // an object's or array's closing bracket, still to write
};

}  // namespace calvetra::web
