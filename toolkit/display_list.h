#pragma once

// What has been drawn on the graph box, kept as data in twips: the box's
// persistent image. A handler clears it and draws again; the window renders
// the list to pixels only when it is shown, once per event, at whatever
// device pixel ratio the screen has.

#include <cstdint>
#include <string>
#include <vector>

namespace calvetra {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct PictureOp {
    enum class Kind : std::uint8_t {
        Line,    // from (x1, y1) to (x2, y2), in colour or in the foreground
        Circle,  // outline centred at (x1, y1), radius x2, in colour
        Text,    // texts[text] with its top-left corner at (x1, y1), in the foreground
        Fill,    // the rectangle (x1, y1) to (x2, y2) in the graph's background colour
        Border,  // a one-pixel outline just inside that rectangle, in the graph's border colour
    };
    Kind kind = Kind::Line;
    bool foreground = false;  // a line drawn in the box's foreground colour
    // A line's width in pixels at 96 dots per inch; 0 for the finest line
    // the device draws (one device pixel on a screen, one pixel in a file).
    // A circle's stroke width alike; a text's size in whole pixels, 0 for
    // the graph box's own font.
    std::uint8_t width = 0;
    std::uint8_t size = 0;
    Rgb colour;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::uint32_t text = 0;
};

class DisplayList {
public:
    void clear();
    void line(float x1, float y1, float x2, float y2);  // foreground
    void line(float x1, float y1, float x2, float y2, Rgb colour);
    void circle(float x, float y, float radius, Rgb colour);
    void setTextPosition(float x, float y);
    void print(const std::string& s);
    // The operations that frame a picture (see PictureOp::Kind), and a line
    // of a given width in pixels.
    void fill(float left, float top, float right, float bottom);
    void border(float left, float top, float right, float bottom);
    void line(float x1, float y1, float x2, float y2, Rgb colour, std::uint8_t width);
    // The same with a width: a foreground line, a circle's outline, and a
    // text in a size of its own (see PictureOp::width and size).
    void foregroundLine(float x1, float y1, float x2, float y2, std::uint8_t width);
    // Once for every point of every curve: defined here to be taken in.
    void circle(float x, float y, float radius, Rgb colour, std::uint8_t width)
    {
        ++revision_;
        ops_.push_back({PictureOp::Kind::Circle, false, width, 0, colour, x, y, radius, 0, 0});
    }
    void print(const std::string& s, std::uint8_t size);
    // Every operation of another list after this one's, its texts with it.
    void append(const DisplayList& other);
    // Only the first `size` operations kept, the texts of the others dropped.
    void truncate(std::size_t size);

    const std::vector<PictureOp>& ops() const { return ops_; }
    const std::string& textOf(const PictureOp& op) const { return texts_[op.text]; }
    // One text for every text operation: past the last of them, a reader of
    // the texts can stop.
    std::size_t textCount() const { return texts_.size(); }
    std::size_t size() const { return ops_.size(); }
    // Grows with every change, so a view can tell whether to render again.
    std::uint64_t revision() const { return revision_; }

private:
    std::vector<PictureOp> ops_;
    std::vector<std::string> texts_;
    float textX_ = 0, textY_ = 0;
    std::uint64_t revision_ = 0;
};

}  // namespace calvetra
