#include "tools/data_gen/data_generator.h"

#include "tools/common/tool_files.h"
#include "tools/data_gen/audio_synth.h"
#include "tools/data_gen/font_sheet.h"
#include "tools/data_gen/mesh_data.h"
#include "tools/data_gen/textures.h"

namespace zumbo::datagen {
namespace {

namespace fs = std::filesystem;

bool WriteText(const fs::path& path, const std::string& text, std::string& error) {
    tools::ToolError toolError;
    if (!tools::WriteHostFile(path, std::vector<std::uint8_t>(text.begin(), text.end()), toolError)) {
        error = toolError.Message();
        return false;
    }
    return true;
}

bool WriteImage(const fs::path& path, const RgbaImage& image, std::string& error) {
    const std::vector<std::uint8_t> png = image.EncodePng();
    tools::ToolError toolError;
    if (png.empty() || !tools::WriteHostFile(path, png, toolError)) {
        error = png.empty() ? path.string() + ": cannot encode the image" : toolError.Message();
        return false;
    }
    return true;
}

// Fonts are drawn for a 1280 x 960 screen, so they stay crisp at common window sizes.
bool WriteFont(const std::string& fontFile, const fs::path& fonts, const std::string& name, int pixelSize,
               std::string& error) {
    FontSheet sheet;
    if (!BuildFontSheet(fontFile, pixelSize, Latin1PrintableCodes(), 512, sheet, error)) {
        error = fontFile + ": " + error;
        return false;
    }
    return WriteImage(fonts / (name + ".png"), sheet.image, error) &&
           WriteText(fonts / (name + ".xml"), FontDocumentXml(name + ".png", 1280, 960, sheet.codes), error);
}

bool WriteModels(const fs::path& models, std::string& error) {
    MeshData water = MakeGrid(-160.0f, -300.0f, 160.0f, -20.0f, 48, 56, 0.0f, 8.0f);
    water.texture = "water.png";
    // Screen-space pictures: a quad each, since an X-file names its texture.
    for (const char* picture : {"button", "button_hover", "button_press", "panel", "arrow", "hand"}) {
        MeshData quad = MakeQuad();
        quad.texture = std::string(picture) + ".png";
        if (!WriteText(models / (std::string(picture) + ".x"), TextXFile("Quad", quad), error)) {
            return false;
        }
    }
    return WriteText(models / "cave.x", TextXFile("Cave", MakeCave(48, 40)), error) &&
           WriteText(models / "water.x", TextXFile("Water", water), error) &&
           WriteImage(models / "rock.png", RockTexture(256), error) &&
           WriteImage(models / "water.png", WaterTexture(256), error) &&
           WriteImage(models / "button.png", ButtonTexture(256, 64, ButtonState::Normal), error) &&
           WriteImage(models / "button_hover.png", ButtonTexture(256, 64, ButtonState::Hover), error) &&
           WriteImage(models / "button_press.png", ButtonTexture(256, 64, ButtonState::Pressed), error) &&
           WriteImage(models / "panel.png", PanelTexture(256, 256), error) &&
           WriteImage(models / "arrow.png", ArrowCursorTexture(32), error) &&
           WriteImage(models / "hand.png", HandCursorTexture(32), error);
}

bool WriteSounds(const fs::path& sound, const fs::path& music, std::string& error) {
    return WriteSound((sound / "click.wav").string(), Click(880.0, 0.09), AudioFormat::Wav, error) &&
           WriteSound((sound / "hover.wav").string(), Click(1320.0, 0.05), AudioFormat::Wav, error) &&
           WriteSound((music / "menu.ogg").string(), MenuMusic(30.0), AudioFormat::OggVorbis, error);
}

}  // namespace

bool GenerateAssets(const std::string& fontFile, const fs::path& folder, std::string& error) {
    for (const char* name : {"Models", "Fonts", "Sound", "Music"}) {
        std::error_code ignored;
        fs::create_directories(folder / name, ignored);
    }
    return WriteModels(folder / "Models", error) &&
           WriteFont(fontFile, folder / "Fonts", "menu_font", 36, error) &&
           WriteFont(fontFile, folder / "Fonts", "title_font", 64, error) &&
           WriteSounds(folder / "Sound", folder / "Music", error);
}

}  // namespace zumbo::datagen
