// zumbo-gen: writes the generated assets of the demo data set.
#include <cstdio>
#include <string>

#include "tools/data_gen/data_generator.h"

int main(int argc, char** argv) {
    if (argc != 4 || std::string(argv[1]) != "assets") {
        std::fprintf(stderr, "usage: zumbo-gen assets FONT.ttf OUTDIR\n");
        return 2;
    }
    std::string error;
    if (!zumbo::datagen::GenerateAssets(argv[2], argv[3], error)) {
        std::fprintf(stderr, "zumbo-gen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
