// Asking the displays again while their answer cannot carry a device.

#include <gtest/gtest.h>

#include "platform/d3d8/opengl_direct3d.h"

namespace {

using d3d8::Adapter;

Adapter Display(D3DDISPLAYMODE desktop, std::vector<D3DDISPLAYMODE> modes) {
    Adapter adapter;
    adapter.description = "display";
    adapter.desktop = desktop;
    adapter.modes = std::move(modes);
    return adapter;
}

const D3DDISPLAYMODE kDesktop{1280, 1024, 60, D3DFMT_X8R8G8B8};
const Adapter kGood = Display(kDesktop, {kDesktop});
const Adapter kWithoutModes = Display(kDesktop, {});
const Adapter kWithoutDesktop = Display(D3DDISPLAYMODE{}, {kDesktop});
const Adapter kUnknownDesktopFormat = Display({1280, 1024, 60, D3DFMT_UNKNOWN}, {kDesktop});

TEST(DisplayQueryTest, AnAnswerIsUsableOnlyWhenEveryDisplayHasADesktopAndAMode) {
    EXPECT_TRUE(d3d8::AreUsable({kGood}));
    EXPECT_TRUE(d3d8::AreUsable({kGood, kGood}));
    EXPECT_FALSE(d3d8::AreUsable({}));
    EXPECT_FALSE(d3d8::AreUsable({kWithoutModes}));
    EXPECT_FALSE(d3d8::AreUsable({kGood, kWithoutModes}));
    EXPECT_FALSE(d3d8::AreUsable({kWithoutDesktop}));
    EXPECT_FALSE(d3d8::AreUsable({kUnknownDesktopFormat}));
}

TEST(DisplayQueryTest, ABadAnswerIsAskedAgainUntilAGoodOneAndAGoodOneOnlyOnce) {
    std::vector<std::vector<Adapter>> answers = {{}, {kWithoutModes}, {kGood}, {kWithoutModes}};
    std::size_t asked = 0;
    int pauses = 0;
    const auto query = [&] { return answers[asked++]; };
    const auto askAgain = [&] { ++pauses; };

    std::vector<Adapter> result = d3d8::QueryUntilUsable(query, askAgain, 10);
    EXPECT_EQ(asked, 3u);
    EXPECT_EQ(pauses, 2);
    ASSERT_EQ(result.size(), 1u);
    EXPECT_EQ(result[0].modes.size(), 1u);

    asked = 2;
    pauses = 0;
    d3d8::QueryUntilUsable(query, askAgain, 10);
    EXPECT_EQ(asked, 3u);
    EXPECT_EQ(pauses, 0);
}

TEST(DisplayQueryTest, AfterTheLastTryTheLastAnswerStands) {
    int asked = 0;
    int pauses = 0;
    const auto query = [&] {
        ++asked;
        return std::vector<Adapter>{kWithoutModes};
    };
    std::vector<Adapter> result = d3d8::QueryUntilUsable(
        query, [&] { ++pauses; }, 4);
    EXPECT_EQ(asked, 4);
    EXPECT_EQ(pauses, 3);
    ASSERT_EQ(result.size(), 1u);
    EXPECT_TRUE(result[0].modes.empty());
}

}  // namespace
