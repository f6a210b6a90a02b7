#include "tests/support/xdotool.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace zumbo::test {

bool HaveDisplayAndXdotool() {
    return std::getenv("DISPLAY") && std::system("command -v xdotool > /dev/null 2>&1") == 0;
}

bool Xdotool(const std::string& arguments) {
    return std::system(("timeout 30 xdotool " + arguments + " > /dev/null 2>&1").c_str()) == 0;
}

std::string XdotoolAnswer(const std::string& arguments) {
    FILE* pipe = popen(("timeout 60 xdotool " + arguments + " 2> /dev/null").c_str(), "r");
    if (!pipe) {
        return "";
    }
    std::array<char, 256> line{};
    std::string answer = std::fgets(line.data(), int(line.size()), pipe) ? line.data() : "";
    pclose(pipe);
    while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r')) {
        answer.pop_back();
    }
    return answer;
}

}  // namespace zumbo::test
