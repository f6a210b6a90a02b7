#pragma once
// Real X input for tests, sent with the xdotool program; needs a display (the tests run under
// Xvfb) and xdotool.

#include <string>

namespace zumbo::test {

bool HaveDisplayAndXdotool();
// Runs xdotool with the arguments (shell words); true when it succeeded within 30 s.
bool Xdotool(const std::string& arguments);
// The first line xdotool prints, without its line end; empty when it fails or prints nothing
// within 60 s.
std::string XdotoolAnswer(const std::string& arguments);

}  // namespace zumbo::test
