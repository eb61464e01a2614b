#include "toolkit/display_list.h"

namespace calvetra {

void DisplayList::clear()
{
    // Capacity is kept: the next redraw of three curves fills it again.
    ++revision_;
    ops_.clear();
    texts_.clear();
    textX_ = textY_ = 0;
}

void DisplayList::line(float x1, float y1, float x2, float y2)
{
    ++revision_;
    ops_.push_back({PictureOp::Kind::Line, true, 0, 0, {}, x1, y1, x2, y2, 0});
}

void DisplayList::line(float x1, float y1, float x2, float y2, Rgb colour) { line(x1, y1, x2, y2, colour, 0); }

void DisplayList::line(float x1, float y1, float x2, float y2, Rgb colour, std::uint8_t width)
{
    ++revision_;
    ops_.push_back({PictureOp::Kind::Line, false, width, 0, colour, x1, y1, x2, y2, 0});
}

void DisplayList::fill(float left, float top, float right, float bottom)
{
    ++revision_;
    ops_.push_back({PictureOp::Kind::Fill, false, 0, 0, {}, left, top, right, bottom, 0});
}

void DisplayList::border(float left, float top, float right, float bottom)
{
    ++revision_;
    ops_.push_back({PictureOp::Kind::Border, false, 0, 0, {}, left, top, right, bottom, 0});
}

void DisplayList::truncate(std::size_t size)
{
    if (size >= ops_.size())
        return;
    ++revision_;
    // Texts are kept in the order of their operations.
    for (std::size_t i = size; i < ops_.size(); ++i)
        if (ops_[i].kind == PictureOp::Kind::Text)
            texts_.pop_back();
    ops_.resize(size);
}

void DisplayList::append(const DisplayList& other)
{
    ++revision_;
    const auto firstText = static_cast<std::uint32_t>(texts_.size());
    texts_.insert(texts_.end(), other.texts_.begin(), other.texts_.end());
    const std::size_t first = ops_.size();
    ops_.insert(ops_.end(), other.ops_.begin(), other.ops_.end());
    for (std::size_t i = first; i < ops_.size(); ++i)
        if (ops_[i].kind == PictureOp::Kind::Text)
            ops_[i].text += firstText;
}

void DisplayList::foregroundLine(float x1, float y1, float x2, float y2, std::uint8_t width)
{
    ++revision_;
    ops_.push_back({PictureOp::Kind::Line, true, width, 0, {}, x1, y1, x2, y2, 0});
}

void DisplayList::circle(float x, float y, float radius, Rgb colour) { circle(x, y, radius, colour, 0); }

void DisplayList::setTextPosition(float x, float y)
{
    textX_ = x;
    textY_ = y;
}

void DisplayList::print(const std::string& s) { print(s, 0); }

void DisplayList::print(const std::string& s, std::uint8_t size)
{
    texts_.push_back(s);
    ++revision_;
    ops_.push_back({PictureOp::Kind::Text,
                    true,
                    0,
                    size,
                    {},
                    textX_,
                    textY_,
                    0,
                    0,
                    static_cast<std::uint32_t>(texts_.size() - 1)});
}

}  // namespace calvetra
