#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/TestSupport.h"
#include "tools/ContactSheet.h"

namespace {

std::string Rows(const Image& image) {
    std::string rows;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) rows += image.At(x, y) ? '#' : '.';
        rows += '\n';
    }
    return rows;
}

std::vector<PixelPoint> Rectangle(double left, double top, double right, double bottom) {
    return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

TEST(FillEvenOdd, FillsPixelCentresHalfOpen) {
    Image image(6, 5);
    FillEvenOdd(image, {Rectangle(1, 1, 4, 3)}, 0xffffff);
    EXPECT_EQ(Rows(image),
              "......\n"
              ".###..\n"
              ".###..\n"
              "......\n"
              "......\n");
    // A triangle whose slanted edge runs through pixel centres: a centre on
    // the right edge stays out.
    Image triangle(5, 4);
    FillEvenOdd(triangle, {{{0, 0}, {4, 0}, {0, 4}}}, 0xffffff);
    EXPECT_EQ(Rows(triangle),
              "###..\n"
              "##...\n"
              "#....\n"
              ".....\n");
}

TEST(FillEvenOdd, LeavesHolesAndOverlapsOpen) {
    Image ring(7, 7);
    FillEvenOdd(ring, {Rectangle(1, 1, 6, 6), Rectangle(2, 2, 5, 5)}, 0xffffff);
    EXPECT_EQ(Rows(ring),
              ".......\n"
              ".#####.\n"
              ".#...#.\n"
              ".#...#.\n"
              ".#...#.\n"
              ".#####.\n"
              ".......\n");
    Image overlap(5, 3);
    FillEvenOdd(overlap, {Rectangle(0, 0, 3, 3), Rectangle(2, 0, 5, 3)}, 0xffffff);
    EXPECT_EQ(Rows(overlap), "##.##\n##.##\n##.##\n");
}

TEST(WritePng, WritesAPictureImageMagickReads) {
    Image image(3, 2);
    image.Set(0, 0, 0xff0000);
    image.Set(2, 1, 0x00ff80);
    const std::string path = testsupport::TemporaryFolder() + "/sheet.png";
    ASSERT_TRUE(WritePng(path, image));
    const std::string command = "convert '" + path + "' -format '%w %h %[pixel:p{0,0}] %[pixel:p{2,1}] %[pixel:p{1,0}]' info:";
    std::FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[256] = {};
    std::string answer;
    while (std::fgets(buffer, sizeof buffer, pipe)) answer += buffer;
    EXPECT_EQ(pclose(pipe), 0) << "ImageMagick convert (package imagemagick)";
    EXPECT_EQ(answer, "3 2 srgb(255,0,0) srgb(0,255,128) srgb(0,0,0)");
    EXPECT_FALSE(WritePng("/nonexistent-folder/sheet.png", image));
}

}  // namespace
