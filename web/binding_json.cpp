#include "web/binding_json.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace calvetra::web {

namespace {

std::string quoted(std::string_view s)
{
    std::string out = "\"";
    for (const char c : s) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                out += escaped;
            } else {
                out += c;  // UTF-8 as it stands
            }
        }
    }
    return out + '"';
}

}  // namespace

Json::Json(const char* s) : text_(s ? quoted(s) : "null") {}

Json::Json(std::string_view s) : text_(quoted(s)) {}

Json::Json(double n)
{
    // The shortest text that reads back as the same double; JSON has no
    // infinities or NaN.
    if (!std::isfinite(n)) {
        text_ = "null";
        return;
    }
    char digits[32];
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(digits, sizeof digits, "%.*g", precision, n);
        if (std::strtod(digits, nullptr) == n)
            break;
    }
    text_ = digits;
}

void Json::separate()
{
    if (text_.size() > 1)
        text_ += ',';
}

void Json::set(std::string_view key, const Json& value)
{
    separate();
    text_ += quoted(key);
    text_ += ':';
    text_ += value.text();
}

void Json::push(const Json& value)
{
    separate();
    text_ += value.text();
}

emscripten::val Json::parsed() const { return emscripten::val::global("JSON").call<emscripten::val>("parse", text()); }

}  // namespace calvetra::web
