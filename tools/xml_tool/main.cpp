// zumbo-xml: converts documents between text XML and the engine's binary form.
//   zumbo-xml to-lbm IN.xml OUT.lbm
//   zumbo-xml to-xml IN.lbm OUT.xml
#include <cstdio>
#include <string_view>

#include "tools/xml_tool/xml_commands.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr,
                     "usage: zumbo-xml to-lbm IN.xml OUT.lbm\n       zumbo-xml to-xml IN.lbm OUT.xml\n");
        return 2;
    }
    const std::string_view command = argv[1];
    zumbo::tools::ToolError error;
    bool done = false;
    if (command == "to-lbm") {
        done = zumbo::tools::ConvertXmlToLbm(argv[2], argv[3], error);
    } else if (command == "to-xml") {
        done = zumbo::tools::ConvertLbmToXml(argv[2], argv[3], error);
    } else {
        std::fprintf(stderr, "zumbo-xml: unknown command \"%s\"\n", argv[1]);
        return 2;
    }
    if (!done) {
        std::fprintf(stderr, "zumbo-xml: %s\n", error.Message().c_str());
        return 1;
    }
    return 0;
}
