#pragma once

#include <QImage>
#include <array>
#include <vector>

namespace pelorin {

// The ten 32 x 32 pictures of the tool palette, drawn in code:
// 0/1 pencil grey/colour, 2/3 eraser, 4/5 globe with four arrows, 6/7 two
// overlapping squares, 8 magnifier with a plus sign, 9 with a minus sign.
// The grey pictures are the coloured ones washed out.
std::array<QImage, 10> drawButtonImages();

// The second row's tools, in the same style, two pictures a tool in the
// palette's order: 0/1 line grey/colour, 2/3 rectangle, 4/5 fill (a bucket).
std::vector<QImage> drawSecondRowImages();

// The tools in the first row's last two places, above the zoom buttons:
// 0/1 ellipse grey/colour, 2/3 invert pen (a pencil over black and white).
std::vector<QImage> drawFirstRowExtraImages();

// The second row's fourth button, the Text command: a large "T". A command,
// not a tool, so it is always shown in colour.
QImage drawTextButtonImage();

}  // namespace pelorin
