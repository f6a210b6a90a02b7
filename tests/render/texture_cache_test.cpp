// The texture cache: which variant of a file wins, what is cached and what is logged.

#include "render/texture_cache.h"

#include <gtest/gtest.h>

#include "platform/win32/files.h"
#include "resource/group_archive.h"
#include "resource/group_file.h"
#include "resource/paths.h"
#include "tests/support/image_bytes.h"
#include "tests/support/program_folder_sandbox.h"
#include "tests/support/render_application.h"
#include "tests/support/temp_dir.h"

namespace {

using zumbo::test::TgaFile;

const std::string kTgaFile = TgaFile(1, 1, {0xFF0000FF});
const std::string kDdsFile = zumbo::test::DdsFile(1, 1, 1, zumbo::test::kDdsArgb, {0x00, 0xFF, 0x00, 0xFF});

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

class TextureCacheTest : public zumbo::test::RenderTest {
protected:
    void TearDown() override {
        CGroupFile::DestroyInstance();
        RenderTest::TearDown();
    }

    // Relative to the program folder, as data names textures.
    std::string Relative(const std::string& name) const { return m_sandbox.Relative() + "\\" + name; }

    static IDirect3DTexture8* Load(const std::string& name) {
        return CTextureCache::Instance().LoadTexture(name, D3DX_DEFAULT, D3DX_DEFAULT, 0, 0, D3DFMT_UNKNOWN,
                                                     D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                                     nullptr);
    }

    void Pack(const std::vector<std::pair<std::string, std::string>>& files) {
        tGroupArchiveFolder root;
        for (const auto& [name, content] : files) {
            AddGroupArchiveFile(root, m_sandbox.Relative() + "/" + name, Bytes(content));
        }
        std::vector<std::uint8_t> bytes;
        std::string problem;
        ASSERT_TRUE(WriteGroupArchive(root, bytes, problem)) << problem;
        m_temp.Write("test.grp", std::string(bytes.begin(), bytes.end()));
        ASSERT_TRUE(CGroupFile::Instance().Open(m_temp.WindowsPath() + "test.grp"));
    }

    static DWORD TopLeftPixel(IDirect3DTexture8* texture) {
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        const DWORD pixel = *static_cast<const DWORD*>(locked.pBits);
        texture->UnlockRect(0);
        return pixel;
    }

    zumbo::test::TempDir m_temp;
};

TEST_F(TextureCacheTest, APlainDdsBeatsTheNamedFile) {
    m_sandbox.Write("Wall.tga", kTgaFile);
    m_sandbox.Write("Wall.dds", kDdsFile);
    IDirect3DTexture8* texture = Load(Relative("Wall.tga"));
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(TopLeftPixel(texture), 0xFF00FF00u);
    EXPECT_EQ(m_log.Count("-- loaded generic DDS."), 1);
}

TEST_F(TextureCacheTest, APlainFileBeatsAPackedDds) {
    Pack({{"Wall.dds", kDdsFile}});
    m_sandbox.Write("Wall.tga", kTgaFile);
    IDirect3DTexture8* texture = Load(Relative("Wall.tga"));
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(TopLeftPixel(texture), 0xFF0000FFu);
    EXPECT_EQ(m_log.Count("-- loaded generic texture."), 1);
}

TEST_F(TextureCacheTest, PackedFilesComeLastAndAPackedDdsFirstAmongThem) {
    Pack({{"Wall.dds", kDdsFile}, {"Wall.tga", kTgaFile}, {"Floor.tga", kTgaFile}});
    EXPECT_EQ(TopLeftPixel(Load(Relative("Wall.tga"))), 0xFF00FF00u);
    EXPECT_EQ(m_log.Count("-- loaded grouped DDS."), 1);
    EXPECT_EQ(TopLeftPixel(Load(Relative("Floor.tga"))), 0xFF0000FFu);
    EXPECT_EQ(m_log.Count("-- loaded grouped TGA."), 1);
}

TEST_F(TextureCacheTest, OtherSpellingsOfAPathShareOneTexture) {
    m_sandbox.Write("Rock.tga", kTgaFile);
    IDirect3DTexture8* first = Load(Relative("Rock.tga"));
    ASSERT_NE(first, nullptr);
    std::string other = Relative("ROCK.TGA");
    std::replace(other.begin(), other.end(), '\\', '/');
    EXPECT_EQ(Load(MakeFullPath(other)), first);
    EXPECT_EQ(m_log.Count("-- cached."), 1);
    EXPECT_EQ(m_log.Count("-- first time."), 1);
    EXPECT_EQ(CTextureCache::Instance().GetTextureName(first),
              NormalizedPath(MakeFullPath(Relative("Rock.tga"))));
}

TEST_F(TextureCacheTest, AMissingFileFailsOnceAndStaysFailedUntilReleased) {
    EXPECT_EQ(Load(Relative("Missing.tga")), nullptr);
    m_sandbox.Write("Missing.tga", kTgaFile);  // appears too late: the failure is remembered
    EXPECT_EQ(Load(Relative("Missing.tga")), nullptr);
    EXPECT_EQ(m_log.Count("-- failed."), 1);
    EXPECT_EQ(m_log.Count("-- cached."), 1);
    CTextureCache::Instance().ReleaseAll();
    EXPECT_NE(Load(Relative("Missing.tga")), nullptr);
    EXPECT_EQ(m_log.Count("-- first time."), 1);
}

TEST_F(TextureCacheTest, AnImageWithImpossibleDimensionsCountsAsMissing) {
    m_sandbox.Write("Huge.dds", zumbo::test::DdsFile(70000, 70000, 1, zumbo::test::kDdsArgb, {}));
    EXPECT_EQ(Load(Relative("Huge.dds")), nullptr);
    EXPECT_EQ(m_log.Count("-- failed."), 1);
}

TEST_F(TextureCacheTest, NamesResolveAgainstTheProgramFolderNotTheCurrentDirectory) {
    m_sandbox.Write("Sky.tga", kTgaFile);
    const std::string previous = win32::GetCurrentDirectory();
    ASSERT_TRUE(win32::SetCurrentDirectory(m_temp.WindowsPath()));
    IDirect3DTexture8* texture = Load(Relative("Sky.tga"));
    win32::SetCurrentDirectory(previous);
    EXPECT_NE(texture, nullptr);
}

TEST_F(TextureCacheTest, AnUnknownPointerHasNoName) {
    m_sandbox.Write("Known.tga", kTgaFile);
    Load(Relative("Known.tga"));
    IDirect3DTexture8* stranger = nullptr;
    ASSERT_EQ(Device()->CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &stranger), D3D_OK);
    EXPECT_EQ(CTextureCache::Instance().GetTextureName(stranger), "Invalid texture name!");
    EXPECT_EQ(CTextureCache::Instance().GetTextureName(nullptr), "Invalid texture name!");
    stranger->Release();
}

}  // namespace
