#include <gtest/gtest.h>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include "render/font_scan.h"
#include "tests/support/temp_dir.h"
#include "tools/data_gen/audio_synth.h"
#include "tools/data_gen/font_sheet.h"
#include "tools/data_gen/mesh_data.h"
#include "tools/data_gen/textures.h"

namespace {

using namespace zumbo::datagen;

const char* const kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

bool IsSeparator(const RgbaImage& image, int x, int y) {
    const Rgba pixel = image.At(x, y);
    return pixel == kSeparator || pixel == kBaseline;
}

struct ScannedCell {
    int left, top, width, height, baseline;
};

// Walks the sheet the way a cell scanner does: rows of cells framed by separator lines.
std::vector<ScannedCell> ScanCells(const RgbaImage& image) {
    std::vector<ScannedCell> cells;
    int top = 0;
    while (top < image.Height() - 1) {
        int left = 0;
        int tallest = 0;
        for (int x = 1; x < image.Width(); ++x) {
            if (!IsSeparator(image, x, top + 1)) {
                continue;
            }
            int height = 0;
            for (int k = top + 1; k < image.Height(); ++k) {
                if (IsSeparator(image, x - 1, k)) {
                    height = k - top - 1;
                    break;
                }
            }
            int baseline = -1;
            for (int k = 0; k < height && baseline < 0; ++k) {
                if (image.At(left, top + 1 + k) == kBaseline) {
                    baseline = k;
                }
            }
            if (height > 0) {
                cells.push_back({left, top, x - left - 1, height, baseline});
            }
            tallest = std::max(tallest, height);
            left = x;
        }
        top += tallest + 1;
    }
    return cells;
}

int MaxAlpha(const RgbaImage& image, const ScannedCell& cell) {
    int alpha = 0;
    for (int y = cell.top + 1; y <= cell.top + cell.height; ++y) {
        for (int x = cell.left + 1; x <= cell.left + cell.width; ++x) {
            alpha = std::max(alpha, int(image.At(x, y).a));
        }
    }
    return alpha;
}

TEST(FontSheetTest, CellsAreFoundOnePerCharacterWithTheirBaselineMarks) {
    const std::vector<int> codes = Latin1PrintableCodes();
    ASSERT_EQ(codes.size(), 95u + 96u);
    FontSheet sheet;
    std::string error;
    ASSERT_TRUE(BuildFontSheet(kFont, 24, codes, 256, sheet, error)) << error;

    const RgbaImage& image = sheet.image;
    EXPECT_EQ(image.At(0, 0), kSeparator);
    EXPECT_EQ(image.At(image.Width() - 1, image.Height() - 1), kBaseline);
    EXPECT_EQ(image.Width(), 256);
    EXPECT_EQ(image.Height() & (image.Height() - 1), 0) << "height is a power of two";

    const std::vector<ScannedCell> cells = ScanCells(image);
    ASSERT_EQ(cells.size(), codes.size());
    for (const ScannedCell& cell : cells) {
        EXPECT_EQ(cell.height, sheet.cellHeight);
        EXPECT_EQ(cell.baseline, sheet.baselineRow);
    }
    // At 24 pixels DejaVu Sans has an ascent of about 23 and a descent of about 6.
    EXPECT_GE(sheet.cellHeight, 26);
    EXPECT_LE(sheet.cellHeight, 32);
    EXPECT_EQ(MaxAlpha(image, cells[0]), 0) << "the space is empty";
    EXPECT_GT(MaxAlpha(image, cells['A' - 32]), 200) << "A is drawn";
    EXPECT_GT(cells['W' - 32].width, cells['i' - 32].width);
}

// The engine's own font scanner finds every generated cell: each character gets a glyph of the
// sheet's cell height, with the descent below the marked baseline.
TEST(FontSheetTest, TheEnginesScannerReadsTheGeneratedSheet) {
    FontSheet sheet;
    std::string error;
    ASSERT_TRUE(BuildFontSheet(kFont, 20, Latin1PrintableCodes(), 256, sheet, error)) << error;
    const RgbaImage& image = sheet.image;
    std::vector<std::uint32_t> argb;
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            const Rgba p = image.At(x, y);
            argb.push_back(std::uint32_t(p.a) << 24 | std::uint32_t(p.r) << 16 | std::uint32_t(p.g) << 8 |
                           p.b);
        }
    }
    std::string letters;
    for (int code : sheet.codes) {
        letters += char(code);
    }
    const tFontScan scan =
        ScanFontImage(CFontImage(std::uint32_t(image.Width()), std::uint32_t(image.Height()), argb), letters,
                      "sheet.png", "sheet.xml");
    EXPECT_EQ(scan.lineHeight, std::uint32_t(sheet.cellHeight));
    const float height = float(image.Height());
    for (int code : sheet.codes) {
        const tGlyph& glyph = scan.glyphs[std::size_t(code)];
        EXPECT_GT(glyph.right, glyph.left) << code;
        EXPECT_NEAR((glyph.bottom - glyph.top) * height, float(sheet.cellHeight), 0.01f) << code;
        EXPECT_NEAR(glyph.descent * height, float(sheet.cellHeight - sheet.baselineRow - 1), 0.01f) << code;
    }
    EXPECT_EQ(scan.glyphs[1].right, 0.0f) << "codes without a cell stay empty";
}

TEST(FontSheetTest, DocumentListsTheCellsInOrderAndAMissingFontIsAnError) {
    const std::string xml = FontDocumentXml("f.png", 1280, 960, {65, 233});
    EXPECT_NE(xml.find("<Image FileName=\"f.png\"/>"), std::string::npos);
    EXPECT_NE(xml.find("<iScreenResolutionX Value=\"1280\"/>"), std::string::npos);
    EXPECT_LT(xml.find("ASCII=\"65\""), xml.find("ASCII=\"233\""));

    FontSheet sheet;
    std::string error;
    EXPECT_FALSE(BuildFontSheet("/nonexistent/font.ttf", 24, {65}, 256, sheet, error));
    EXPECT_FALSE(error.empty());
}

TEST(MeshDataTest, GridAndXFileAgreeOnCounts) {
    const MeshData grid = MakeGrid(-10, -20, 10, 20, 4, 2, 3.0f, 1.0f);
    ASSERT_EQ(grid.positions.size(), 15u);
    ASSERT_EQ(grid.triangles.size(), 16u);
    EXPECT_FLOAT_EQ(grid.positions[14].x, 10.0f);
    EXPECT_FLOAT_EQ(grid.positions[14].y, 20.0f);
    EXPECT_FLOAT_EQ(grid.positions[14].z, 3.0f);
    // Clockwise seen from above, Direct3D's front face for a viewer over the water.
    for (const auto& t : grid.triangles) {
        const Vec3 a = grid.positions[std::size_t(t[0])];
        const Vec3 b = grid.positions[std::size_t(t[1])];
        const Vec3 c = grid.positions[std::size_t(t[2])];
        EXPECT_LT((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x), 0.0f);
    }

    const std::string text = TextXFile("Quad", MakeQuad());
    EXPECT_EQ(text.rfind("xof 0303txt 0032\n", 0), 0u);
    EXPECT_NE(text.find("Frame Quad {"), std::string::npos);
    EXPECT_NE(text.find("    7;\n    0.500000;0.000000;0.500000;,"), std::string::npos);
    EXPECT_NE(text.find("3;1,3,2;,"), std::string::npos);

    // Picked by its box's x and y, drawn by x and z: the box is as tall in y as in z.
    const MeshData quad = MakeQuad();
    const auto [lowY, highY] = std::minmax_element(quad.positions.begin(), quad.positions.end(),
                                                   [](const Vec3& a, const Vec3& b) { return a.y < b.y; });
    const auto [lowZ, highZ] = std::minmax_element(quad.positions.begin(), quad.positions.end(),
                                                   [](const Vec3& a, const Vec3& b) { return a.z < b.z; });
    EXPECT_FLOAT_EQ(highY->y - lowY->y, 1.0f);
    EXPECT_FLOAT_EQ(highZ->z - lowZ->z, 1.0f);
}

TEST(MeshDataTest, CaveNormalsAreUnitLengthAndItsTrianglesIndexItsVertices) {
    const MeshData cave = MakeCave(12, 8);
    ASSERT_EQ(cave.normals.size(), cave.positions.size());
    for (const Vec3& n : cave.normals) {
        EXPECT_NEAR(n.x * n.x + n.y * n.y + n.z * n.z, 1.0f, 1e-4f);
    }
    for (const auto& t : cave.triangles) {
        for (int corner : t) {
            ASSERT_GE(corner, 0);
            ASSERT_LT(std::size_t(corner), cave.positions.size());
        }
    }
}

TEST(TexturesTest, RockTilesWithoutASeamAndButtonStatesDiffer) {
    const RgbaImage rock = RockTexture(128);
    // Neighbouring columns across the wrap differ no more than neighbours inside the picture.
    double across = 0;
    double inside = 0;
    for (int y = 0; y < 128; ++y) {
        across += std::abs(int(rock.At(127, y).r) - int(rock.At(0, y).r));
        inside += std::abs(int(rock.At(63, y).r) - int(rock.At(64, y).r));
    }
    EXPECT_LT(across, inside * 3 + 128);

    const Rgba normal = ButtonTexture(64, 16, ButtonState::Normal).At(32, 8);
    const Rgba hover = ButtonTexture(64, 16, ButtonState::Hover).At(32, 8);
    const Rgba pressed = ButtonTexture(64, 16, ButtonState::Pressed).At(32, 8);
    EXPECT_NE(normal, hover);
    EXPECT_NE(hover, pressed);
    EXPECT_EQ(ButtonTexture(64, 16, ButtonState::Normal).At(0, 0).a, 0) << "rounded corner is clear";

    const RgbaImage arrow = ArrowCursorTexture(32);
    EXPECT_GT(arrow.At(3, 8).a, 128) << "the arrow's shaft is opaque";
    EXPECT_EQ(arrow.At(30, 2).a, 0) << "right of the tip is clear";
}

TEST(AudioSynthTest, MenuMusicIsAudibleThroughoutAndLoopsWithoutAJump) {
    zumbo::test::TempDir temp;
    const std::string path = (temp.Path() / "menu.ogg").string();
    std::string error;
    ASSERT_TRUE(WriteSound(path, MenuMusic(10.0), AudioFormat::OggVorbis, error)) << error;
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(info.samplerate, kSampleRate);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_OGG);
    std::vector<float> samples(std::size_t(info.frames) * 2);
    ASSERT_EQ(sf_readf_float(file, samples.data(), info.frames), info.frames);
    sf_close(file);
    EXPECT_NEAR(double(info.frames), 10.0 * kSampleRate, 1.0);

    // Every second has sound, and none of it clips.
    for (std::size_t second = 0; second < 10; ++second) {
        double energy = 0;
        for (std::size_t i = second * kSampleRate * 2; i < (second + 1) * kSampleRate * 2; ++i) {
            energy += double(samples[i]) * samples[i];
            ASSERT_LT(std::abs(samples[i]), 1.0f);
        }
        EXPECT_GT(std::sqrt(energy / (2.0 * kSampleRate)), 0.01) << "second " << second;
    }
    // Looping joins the last frame to the first: the step there is like any other step.
    EXPECT_LT(std::abs(samples[0] - samples[samples.size() - 2]), 0.05f);
    EXPECT_LT(std::abs(samples[1] - samples[samples.size() - 1]), 0.05f);
}

TEST(AudioSynthTest, ClickDecaysAndAnUnwritablePathIsReported) {
    const StereoSound click = Click(1000.0, 0.1);
    ASSERT_EQ(click.Frames(), std::size_t(0.1 * kSampleRate));
    float early = 0;
    float late = 0;
    for (std::size_t i = 0; i < 200; ++i) {
        early = std::max(early, std::abs(click.samples[2 * i]));
        late = std::max(late, std::abs(click.samples[click.samples.size() - 2 - 2 * i]));
    }
    EXPECT_GT(early, 0.3f);
    EXPECT_LT(late, 0.01f);

    std::string error;
    EXPECT_FALSE(WriteSound("/nonexistent/folder/click.wav", click, AudioFormat::Wav, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
