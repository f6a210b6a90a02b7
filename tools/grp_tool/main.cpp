// zumbo-grp: packs, lists and extracts group files.
//   zumbo-grp pack DIR OUT.grp
//   zumbo-grp list IN.grp
//   zumbo-grp extract IN.grp DIR
#include <cstdio>
#include <iostream>
#include <string_view>

#include "tools/grp_tool/grp_commands.h"

namespace {
int Usage() {
    std::fprintf(stderr,
                 "usage: zumbo-grp pack DIR OUT.grp\n       zumbo-grp list IN.grp\n"
                 "       zumbo-grp extract IN.grp DIR\n");
    return 2;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        return Usage();
    }
    const std::string_view command = argv[1];
    zumbo::tools::ToolError error;
    bool done = false;
    if (command == "pack" && argc == 4) {
        done = zumbo::tools::PackGroupFile(argv[2], argv[3], error);
    } else if (command == "list" && argc == 3) {
        done = zumbo::tools::ListGroupFile(argv[2], std::cout, error);
    } else if (command == "extract" && argc == 4) {
        done = zumbo::tools::ExtractGroupFile(argv[2], argv[3], error);
    } else {
        return Usage();
    }
    if (!done) {
        std::fprintf(stderr, "zumbo-grp: %s\n", error.Message().c_str());
        return 1;
    }
    return 0;
}
