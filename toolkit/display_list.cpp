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
    ops_.push_back({PictureOp::Kind::Line, true, {}, x1, y1, x2, y2, 0});
}

void DisplayList::line(float x1, float y1, float x2, float y2, Rgb colour)
{
    ++revision_;
    ops_.push_back({PictureOp::Kind::Line, false, colour, x1, y1, x2, y2, 0});
}

void DisplayList::circle(float x, float y, float radius, Rgb colour)
{
    ++revision_;
    ops_.push_back({PictureOp::Kind::Circle, false, colour, x, y, radius, 0, 0});
}

void DisplayList::setTextPosition(float x, float y)
{
    textX_ = x;
    textY_ = y;
}

void DisplayList::print(const std::string& s)
{
    texts_.push_back(s);
    ++revision_;
    ops_.push_back(
        {PictureOp::Kind::Text, true, {}, textX_, textY_, 0, 0, static_cast<std::uint32_t>(texts_.size() - 1)});
}

}  // namespace calvetra
