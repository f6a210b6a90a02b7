#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/d3d8/dxt_decoder.h"

namespace {

constexpr DWORD kRed = 0xFFFF0000;
constexpr DWORD kBlue = 0xFF0000FF;

// Colour half of a block: two RGB565 end points and 2-bit indices, pixel 0 in the low bits.
std::array<BYTE, 8> ColourBlock(WORD c0, WORD c1, DWORD indices) {
    return {static_cast<BYTE>(c0),
            static_cast<BYTE>(c0 >> 8),
            static_cast<BYTE>(c1),
            static_cast<BYTE>(c1 >> 8),
            static_cast<BYTE>(indices),
            static_cast<BYTE>(indices >> 8),
            static_cast<BYTE>(indices >> 16),
            static_cast<BYTE>(indices >> 24)};
}

std::vector<DWORD> Decode(D3DFORMAT format, const std::vector<BYTE>& blocks, UINT width, UINT height) {
    std::vector<DWORD> pixels(width * height, 0x12345678);
    EXPECT_TRUE(d3d8::DecodeDxt(format, blocks.data(), blocks.size(), width, height, pixels.data()));
    return pixels;
}

TEST(D3D8DxtDecoder, FourColourBlockInterpolatesThirds) {
    // Pixels 0..3 take indices 0, 1, 2, 3; the rest index 0.
    const auto block = ColourBlock(0xF800, 0x001F, 0b11100100);
    const auto pixels = Decode(D3DFMT_DXT1, {block.begin(), block.end()}, 4, 4);
    EXPECT_EQ(pixels[0], kRed);
    EXPECT_EQ(pixels[1], kBlue);
    EXPECT_EQ(pixels[2], 0xFFAA0055u);  // two thirds red
    EXPECT_EQ(pixels[3], 0xFF5500AAu);
    EXPECT_EQ(pixels[15], kRed);
}

TEST(D3D8DxtDecoder, Dxt1WithOrderedEndPointsHasHalfwayAndTransparentBlack) {
    const auto block = ColourBlock(0x001F, 0xF800, 0b11100100);
    const auto pixels = Decode(D3DFMT_DXT1, {block.begin(), block.end()}, 4, 4);
    EXPECT_EQ(pixels[2], 0xFF7F007Fu);
    EXPECT_EQ(pixels[3], 0x00000000u);
}

TEST(D3D8DxtDecoder, Dxt3TakesExplicitAlphaAndAlwaysFourColours) {
    std::vector<BYTE> blocks = {0xF0, 0x0F, 0, 0, 0, 0, 0, 0x80};  // pixel 0: 0, 1: F, 2: F, 3: 0, 15: 8
    const auto colours = ColourBlock(0x001F, 0xF800, 0b11100100);
    blocks.insert(blocks.end(), colours.begin(), colours.end());
    const auto pixels = Decode(D3DFMT_DXT3, blocks, 4, 4);
    EXPECT_EQ(pixels[0], 0x000000FFu);
    EXPECT_EQ(pixels[1], 0xFFFF0000u);
    EXPECT_EQ(pixels[3] >> 24, 0u);
    EXPECT_EQ(pixels[3] & 0xFFFFFF, 0xAA0055u);  // no transparent black outside DXT1
    EXPECT_EQ(pixels[15] >> 24, 0x88u);
}

TEST(D3D8DxtDecoder, Dxt5InterpolatesAlphaInBothModes) {
    const auto colours = ColourBlock(0xFFFF, 0xFFFF, 0);
    // Eight-step mode: a0 = 255 > a1 = 0; pixels 0..2 use indices 0, 1, 2.
    std::vector<BYTE> eight = {255, 0, 0b10001000, 0, 0, 0, 0, 0};
    eight.insert(eight.end(), colours.begin(), colours.end());
    auto pixels = Decode(D3DFMT_DXT5, eight, 4, 4);
    EXPECT_EQ(pixels[0] >> 24, 255u);
    EXPECT_EQ(pixels[1] >> 24, 0u);
    EXPECT_EQ(pixels[2] >> 24, 218u);  // (6 x 255 + 0) / 7
    // Six-step mode: a0 <= a1; indices 6 and 7 are 0 and 255.
    std::vector<BYTE> six = {0, 100, 0b00111110, 0, 0, 0, 0, 0};
    six.insert(six.end(), colours.begin(), colours.end());
    pixels = Decode(D3DFMT_DXT5, six, 4, 4);
    EXPECT_EQ(pixels[0] >> 24, 0u);
    EXPECT_EQ(pixels[1] >> 24, 255u);
}

TEST(D3D8DxtDecoder, PartialBlocksAreCutToTheImage) {
    std::vector<BYTE> blocks;
    for (WORD colour : {0xF800, 0x001F}) {
        const auto block = ColourBlock(colour, colour, 0);
        blocks.insert(blocks.end(), block.begin(), block.end());
    }
    const auto pixels = Decode(D3DFMT_DXT1, blocks, 5, 3);
    ASSERT_EQ(pixels.size(), 15u);
    EXPECT_EQ(pixels[3], kRed);
    EXPECT_EQ(pixels[4], kBlue);
    EXPECT_EQ(pixels[14], kBlue);
}

TEST(D3D8DxtDecoder, RefusesTooFewBlocksAndOtherFormats) {
    std::vector<BYTE> blocks(8 * 3);
    std::vector<DWORD> pixels(8 * 8);
    EXPECT_FALSE(d3d8::DecodeDxt(D3DFMT_DXT1, blocks.data(), blocks.size(), 8, 8, pixels.data()));
    EXPECT_FALSE(d3d8::DecodeDxt(D3DFMT_DXT5, blocks.data(), 15, 4, 4, pixels.data()));
    EXPECT_FALSE(d3d8::DecodeDxt(D3DFMT_A8R8G8B8, blocks.data(), blocks.size(), 2, 2, pixels.data()));
}

}  // namespace
