// Texture creation from image files: the formats kept, the pixels found, the chains built and
// the files refused.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/d3dx8/texture_loading.h"
#include "tests/platform/d3d8_test_support.h"
#include "tests/support/image_bytes.h"
#include "tests/support/temp_dir.h"

namespace {

using zumbo::test::DdsFile;
using zumbo::test::DdsPixelFormat;
using zumbo::test::kDdsArgb;
using zumbo::test::kDdsDxt1;
using zumbo::test::TgaFile;

const std::vector<std::uint8_t> kRedDxt1Block = {0x00, 0xF8, 0x1F, 0x00, 0, 0, 0, 0};

std::vector<std::uint8_t> LittleEndian(const std::vector<std::uint32_t>& values) {
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t value : values) {
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    }
    return bytes;
}

class TextureLoadingTest : public zumbo::test::RecordingDeviceTest {
protected:
    void TearDown() override {
        if (m_texture != nullptr) {
            m_texture->Release();
        }
        RecordingDeviceTest::TearDown();
    }

    HRESULT Load(const std::string& file, UINT mipLevels = 0, D3DFORMAT format = D3DFMT_UNKNOWN,
                 D3DCOLOR colorKey = 0, UINT width = D3DX_DEFAULT, UINT height = D3DX_DEFAULT) {
        return D3DXCreateTextureFromFileInMemoryEx(
            m_device, file.data(), static_cast<UINT>(file.size()), width, height, mipLevels, 0, format,
            D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, colorKey, &m_info, nullptr, &m_texture);
    }

    D3DSURFACE_DESC Desc(UINT level = 0) {
        D3DSURFACE_DESC desc{};
        EXPECT_EQ(m_texture->GetLevelDesc(level, &desc), D3D_OK);
        return desc;
    }

    std::vector<std::uint32_t> Pixels(UINT level = 0) {
        const D3DSURFACE_DESC desc = Desc(level);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(m_texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        std::vector<std::uint32_t> pixels(std::size_t(desc.Width) * desc.Height);
        for (UINT y = 0; y < desc.Height; ++y) {
            std::memcpy(pixels.data() + y * desc.Width, static_cast<BYTE*>(locked.pBits) + y * locked.Pitch,
                        desc.Width * 4);
        }
        m_texture->UnlockRect(level);
        return pixels;
    }

    IDirect3DTexture8* m_texture = nullptr;
    D3DXIMAGE_INFO m_info{};
};

TEST_F(TextureLoadingTest, UncompressedDdsKeepsItsFormatAndBuildsTheChainByAveraging) {
    const std::vector<std::uint32_t> pixels = {0xFF000000, 0xFFFFFFFF, 0x80FF0000, 0x00000000};
    ASSERT_EQ(Load(DdsFile(2, 2, 0, kDdsArgb, LittleEndian(pixels))), D3D_OK);
    EXPECT_EQ(Desc().Format, D3DFMT_A8R8G8B8);
    ASSERT_EQ(m_texture->GetLevelCount(), 2u);
    EXPECT_EQ(Pixels(0), pixels);
    // Per channel (a + b + c + d + 2) / 4: alpha 640 / 4, red 512 / 4, green and blue 257 / 4.
    EXPECT_EQ(Pixels(1), std::vector<std::uint32_t>{0xA0804040});
    EXPECT_EQ(m_info.Width, 2u);
    EXPECT_EQ(m_info.MipLevels, 1u);
    EXPECT_EQ(m_info.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(m_info.ImageFileFormat, D3DXIFF_DDS);
}

TEST_F(TextureLoadingTest, CompressedDdsWithItsWholeChainStaysCompressed) {
    std::vector<std::uint8_t> data;
    for (int level = 0; level < 3; ++level) {  // 4 x 4, 2 x 2 and 1 x 1 take one block each
        data.insert(data.end(), kRedDxt1Block.begin(), kRedDxt1Block.end());
    }
    ASSERT_EQ(Load(DdsFile(4, 4, 3, kDdsDxt1, data)), D3D_OK);
    EXPECT_EQ(Desc().Format, D3DFMT_DXT1);
    EXPECT_EQ(m_texture->GetLevelCount(), 3u);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(m_texture->LockRect(2, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(std::memcmp(locked.pBits, kRedDxt1Block.data(), 8), 0);
    m_texture->UnlockRect(2);
}

TEST_F(TextureLoadingTest, CompressedDdsWithoutItsChainIsDecoded) {
    ASSERT_EQ(Load(DdsFile(4, 4, 0, kDdsDxt1, kRedDxt1Block)), D3D_OK);
    EXPECT_EQ(Desc().Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(m_texture->GetLevelCount(), 3u);
    EXPECT_EQ(Pixels(2), std::vector<std::uint32_t>{0xFFFF0000});
}

TEST_F(TextureLoadingTest, DdsLayoutsWithoutATextureFormatAreConverted) {
    // 24-bit RGB: bytes B, G, R per pixel.
    const DdsPixelFormat rgb24{0x40, 0, 24, 0xFF0000, 0xFF00, 0xFF, 0};
    ASSERT_EQ(Load(DdsFile(2, 1, 1, rgb24, {0x30, 0x20, 0x10, 0x03, 0x02, 0x01})), D3D_OK);
    EXPECT_EQ(Pixels(), (std::vector<std::uint32_t>{0xFF102030, 0xFF010203}));
    m_texture->Release();
    m_texture = nullptr;
    // 32-bit with red in the lowest byte.
    const DdsPixelFormat abgr{0x41, 0, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000};
    ASSERT_EQ(Load(DdsFile(1, 1, 1, abgr, {0x11, 0x22, 0x33, 0x44})), D3D_OK);
    EXPECT_EQ(Pixels(), std::vector<std::uint32_t>{0x44112233});
}

TEST_F(TextureLoadingTest, SixteenBitDdsKeepsItsFormatAndConvertsOnRequest) {
    const DdsPixelFormat r5g6b5{0x40, 0, 16, 0xF800, 0x07E0, 0x1F, 0};
    ASSERT_EQ(Load(DdsFile(1, 1, 1, r5g6b5, {0xE0, 0x07}), 1), D3D_OK);  // pure green
    EXPECT_EQ(Desc().Format, D3DFMT_R5G6B5);
    m_texture->Release();
    m_texture = nullptr;
    ASSERT_EQ(Load(DdsFile(1, 1, 1, r5g6b5, {0xE0, 0x07}), 1, D3DFMT_A8R8G8B8), D3D_OK);
    EXPECT_EQ(Pixels(), std::vector<std::uint32_t>{0xFF00FF00});
}

TEST_F(TextureLoadingTest, TgaKeepsAlphaAndTheColourKeyClearsItsPixels) {
    const std::vector<std::uint32_t> pixels = {0x80112233, 0xFFFF00FF, 0xFF445566, 0x00000000};
    ASSERT_EQ(Load(TgaFile(2, 2, pixels), 1), D3D_OK);
    EXPECT_EQ(Desc().Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(Pixels(), pixels);
    EXPECT_EQ(m_info.ImageFileFormat, D3DXIFF_TGA);
    m_texture->Release();
    m_texture = nullptr;
    ASSERT_EQ(Load(TgaFile(2, 2, pixels), 1, D3DFMT_UNKNOWN, 0xFFFF00FF), D3D_OK);
    EXPECT_EQ(Pixels(), (std::vector<std::uint32_t>{0x80112233, 0, 0xFF445566, 0}));
}

TEST_F(TextureLoadingTest, BmpWithoutAlphaIsOpaque) {
    // 2 x 1, 24 bits, rows padded to 4 bytes, stored bottom-up.
    std::string bmp = "BM";
    for (std::uint32_t value : {62u, 0u, 54u, 40u, 2u, 1u, 1u | (24u << 16), 0u, 8u, 0u, 0u, 0u, 0u}) {
        bmp.append(reinterpret_cast<const char*>(LittleEndian({value}).data()), 4);
    }
    bmp += std::string("\x30\x20\x10\xFF\x00\x00\x00\x00", 8);
    ASSERT_EQ(Load(bmp, 1), D3D_OK);
    EXPECT_EQ(Desc().Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(Pixels(), (std::vector<std::uint32_t>{0xFF102030, 0xFF0000FF}));
    EXPECT_EQ(m_info.ImageFileFormat, D3DXIFF_BMP);
}

TEST_F(TextureLoadingTest, AGivenSizeResamplesToTheNearestPixel) {
    ASSERT_EQ(Load(TgaFile(2, 1, {0xFF000001, 0xFF000002}), 1, D3DFMT_UNKNOWN, 0, 4, 2), D3D_OK);
    EXPECT_EQ(Pixels(), (std::vector<std::uint32_t>{0xFF000001, 0xFF000001, 0xFF000002, 0xFF000002,
                                                    0xFF000001, 0xFF000001, 0xFF000002, 0xFF000002}));
}

TEST_F(TextureLoadingTest, BrokenAndImpossibleFilesAreRefused) {
    const std::string tooWide = DdsFile(100000, 1, 1, kDdsArgb, std::vector<std::uint8_t>(16, 0));
    const std::string empty = DdsFile(0, 4, 1, kDdsArgb, {});
    const std::string truncated = DdsFile(4, 4, 1, kDdsArgb, std::vector<std::uint8_t>(63, 0));
    const std::string unknownCode = DdsFile(4, 4, 1, {0x4, 0x12345678, 0, 0, 0, 0, 0}, kRedDxt1Block);
    const std::string noMasks = DdsFile(1, 1, 1, {0x40, 0, 32, 0, 0, 0, 0}, {1, 2, 3, 4});
    const std::string shortHeader = DdsFile(4, 4, 1, kDdsDxt1, {}).substr(0, 100);
    std::string hugeTga = TgaFile(1, 1, {0});
    hugeTga[12] = hugeTga[13] = hugeTga[14] = hugeTga[15] = '\xFF';  // 65535 x 65535
    for (const std::string& file : {tooWide, empty, truncated, unknownCode, noMasks, shortHeader, hugeTga,
                                    std::string("not an image at all")}) {
        EXPECT_TRUE(FAILED(Load(file))) << file.size();
        EXPECT_EQ(m_texture, nullptr);
    }
}

TEST_F(TextureLoadingTest, FilesAreReadByTheirWindowsPath) {
    zumbo::test::TempDir folder;
    folder.Write("Textures/Wall.tga", TgaFile(1, 1, {0xFF123456}));
    const std::string path = folder.WindowsPath() + "textures\\WALL.TGA";
    ASSERT_EQ(D3DXCreateTextureFromFileExA(m_device, path.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, 1, 0,
                                           D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_FILTER_NONE,
                                           D3DX_FILTER_NONE, 0, nullptr, nullptr, &m_texture),
              D3D_OK);
    EXPECT_EQ(Pixels(), std::vector<std::uint32_t>{0xFF123456});
    const std::string missing = folder.WindowsPath() + "none.tga";
    IDirect3DTexture8* none = nullptr;
    EXPECT_TRUE(FAILED(D3DXCreateTextureFromFileExA(m_device, missing.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, 1,
                                                    0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_FILTER_NONE,
                                                    D3DX_FILTER_NONE, 0, nullptr, nullptr, &none)));
    EXPECT_EQ(none, nullptr);
}

}  // namespace
