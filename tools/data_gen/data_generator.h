#pragma once
// Writes every generated asset of the demo data set below one folder, in the program folder's
// layout (Models, Fonts, Sound, Music). Font documents are written as text XML for the converter.

#include <filesystem>
#include <string>

namespace zumbo::datagen {

bool GenerateAssets(const std::string& fontFile, const std::filesystem::path& folder, std::string& error);

}  // namespace zumbo::datagen
