#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/fit.h"
#include "imaging/picture_to_logo.h"
#include "imaging/tone.h"
#include "pattern.h"

namespace pelorin {
namespace {

GreyImage imageFromRows(const std::vector<std::vector<int>>& rows) {
    GreyImage image(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) image.at(x, y) = static_cast<std::uint8_t>(rows[y][x]);
    return image;
}

std::vector<std::vector<int>> rowsOf(const GreyImage& image) {
    std::vector<std::vector<int>> rows(image.height, std::vector<int>(image.width));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) rows[y][x] = image.at(x, y);
    return rows;
}

using testing::patternOf;

TEST(FitImage, CleanBlackAndWhiteStaysExactAtOneToOneAndTwoToOne) {
    // A 4 x 2 pattern drawn with 2 x 2 blocks at 8 x 4.
    const std::vector<std::vector<int>> small{{0, 255, 0, 0}, {255, 0, 255, 0}};
    GreyImage big(8, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) big.at(x, y) = static_cast<std::uint8_t>(small[y / 2][x / 2]);
    for (FitMode mode : {FitMode::Contain, FitMode::Cover, FitMode::Stretch}) {
        EXPECT_EQ(fitImage(big, 8, 4, mode), big);
        EXPECT_EQ(rowsOf(fitImage(big, 4, 2, mode)), small);
    }
    const Canvas logo = pictureToCanvas(big, {4, 2}, {});
    EXPECT_EQ(patternOf(logo), (std::vector<std::string>{"#.##", ".#.#"}));
}

TEST(FitImage, PlacesWideAndTallPicturesByMode) {
    const GreyImage wide = imageFromRows({{0, 30, 60, 90, 120, 150, 180, 210}, {0, 30, 60, 90, 120, 150, 180, 210}});
    const std::vector<int> blank(4, 255);
    const std::vector<int> pairs{15, 75, 135, 195};
    EXPECT_EQ(rowsOf(fitImage(wide, 4, 4, FitMode::Contain)),
              (std::vector<std::vector<int>>{blank, pairs, blank, blank}));
    EXPECT_EQ(rowsOf(fitImage(wide, 4, 4, FitMode::Stretch)),
              (std::vector<std::vector<int>>{pairs, pairs, pairs, pairs}));
    const std::vector<int> middle{90, 90, 120, 120};
    EXPECT_EQ(rowsOf(fitImage(wide, 4, 4, FitMode::Cover)),
              (std::vector<std::vector<int>>{middle, middle, middle, middle}));

    GreyImage tall(2, 8);
    for (int y = 0; y < 8; ++y) tall.at(0, y) = tall.at(1, y) = static_cast<std::uint8_t>(30 * y);
    EXPECT_EQ(rowsOf(fitImage(tall, 4, 4, FitMode::Contain)),
              (std::vector<std::vector<int>>{
                  {255, 15, 255, 255}, {255, 75, 255, 255}, {255, 135, 255, 255}, {255, 195, 255, 255}}));
    EXPECT_EQ(rowsOf(fitImage(tall, 4, 4, FitMode::Cover)),
              (std::vector<std::vector<int>>{
                  {90, 90, 90, 90}, {90, 90, 90, 90}, {120, 120, 120, 120}, {120, 120, 120, 120}}));
}

TEST(FitImage, AveragesByCoverageWhenTheRatioIsNotWhole) {
    // Three pixels onto two: each target pixel takes one whole and half of the middle one.
    EXPECT_EQ(rowsOf(fitImage(imageFromRows({{0, 100, 255}}), 2, 1, FitMode::Stretch)),
              (std::vector<std::vector<int>>{{33, 203}}));
    EXPECT_EQ(rowsOf(fitImage(imageFromRows({{0, 255}}), 3, 1, FitMode::Stretch)),
              (std::vector<std::vector<int>>{{0, 128, 255}}));
}

TEST(NearestKind, PicksTheCanvasOfTheClosestAspectRatio) {
    EXPECT_EQ(nearestKind(720, 140), LogoKind::Operator);
    EXPECT_EQ(nearestKind(7200, 100), LogoKind::Operator);
    EXPECT_EQ(nearestKind(780, 210), LogoKind::LargeOperator);
    EXPECT_EQ(nearestKind(640, 480), LogoKind::Picture);
    EXPECT_EQ(nearestKind(100, 1000), LogoKind::Picture);
}

TEST(Otsu, SplitsATwoLevelPictureHalfwayBetweenTheLevels) {
    GreyImage image(4, 4, 200);
    for (int x = 0; x < 4; ++x) image.at(x, 1) = image.at(x, 3) = 50;
    EXPECT_EQ(otsuThreshold(image), 125);
    EXPECT_EQ(patternOf(toOneBit(image, {})), (std::vector<std::string>{"....", "####", "....", "####"}));
    EXPECT_EQ(otsuThreshold(GreyImage(3, 3, 77)), 128);
}

TEST(PictureToCanvas, AutomaticThresholdIsThePicturesOwnNotThePaddings) {
    // Two levels, 50 and 200, contained in a square: white rows above and below.
    GreyImage wide(8, 2, 200);
    for (int x = 0; x < 8; x += 4) wide.at(x, 0) = wide.at(x + 1, 0) = wide.at(x, 1) = wide.at(x + 1, 1) = 50;
    EXPECT_EQ(patternOf(pictureToCanvas(wide, {4, 4}, {})), (std::vector<std::string>{"....", "#.#.", "....", "...."}));
    // With a dithering, automatic is the middle: 200 over 128 stays clear.
    PictureOptions ordered;
    ordered.tone.dither = Dither::Ordered;
    EXPECT_EQ(resolvedTone(wide, ordered.tone).threshold, 128);
    EXPECT_EQ(resolvedTone(wide, {}).threshold, 125);
}

TEST(ToOneBit, GreyRampThroughEachDitheringGivesItsPattern) {
    GreyImage ramp(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) ramp.at(x, y) = static_cast<std::uint8_t>((y * 4 + x) * 17);
    struct Case {
        Dither dither;
        std::vector<std::string> pattern;
    };
    const Case cases[] = {
        {Dither::None, {"####", "####", "....", "...."}},
        {Dither::FloydSteinberg, {"####", "#.#.", ".#..", "...."}},
        {Dither::Atkinson, {"####", "##..", "....", "...."}},
        {Dither::Ordered, {"####", "#.#.", ".#..", "#..."}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(patternOf(toOneBit(ramp, {128, c.dither, false})), c.pattern) << static_cast<int>(c.dither);
        std::vector<std::string> inverted = c.pattern;
        for (auto& row : inverted)
            for (char& ch : row) ch = ch == '#' ? '.' : '#';
        EXPECT_EQ(patternOf(toOneBit(ramp, {128, c.dither, true})), inverted) << static_cast<int>(c.dither);
    }
}

TEST(ToOneBit, ThresholdBoundsAreStrict) {
    const GreyImage image = imageFromRows({{0, 127, 128, 255}});
    EXPECT_EQ(patternOf(toOneBit(image, {0, Dither::None, false})), (std::vector<std::string>{"...."}));
    EXPECT_EQ(patternOf(toOneBit(image, {128, Dither::None, false})), (std::vector<std::string>{"##.."}));
    EXPECT_EQ(patternOf(toOneBit(image, {255, Dither::None, false})), (std::vector<std::string>{"###."}));
}

}  // namespace
}  // namespace pelorin
