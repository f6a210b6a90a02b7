#include "tools/data_gen/textures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace zumbo::datagen {
namespace {

float Hash(int x, int y, int seed) {
    std::uint32_t h =
        std::uint32_t(x) * 73856093u ^ std::uint32_t(y) * 19349663u ^ std::uint32_t(seed) * 83492791u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return float((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

// Value noise that wraps with the period, so the textures tile without seams.
float TilingNoise(float x, float y, int period, int seed) {
    const int ix = int(std::floor(x));
    const int iy = int(std::floor(y));
    const float fx = x - float(ix);
    const float fy = y - float(iy);
    auto at = [&](int cx, int cy) {
        return Hash(((cx % period) + period) % period, ((cy % period) + period) % period, seed);
    };
    const float sx = fx * fx * (3 - 2 * fx);
    const float sy = fy * fy * (3 - 2 * fy);
    const float top = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * sx;
    const float bottom = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * sx;
    return top + (bottom - top) * sy;
}

float TilingFractal(float u, float v, int seed) {
    float sum = 0;
    float amplitude = 0.5f;
    int period = 8;
    for (int octave = 0; octave < 5; ++octave) {
        sum += amplitude * TilingNoise(u * float(period), v * float(period), period, seed + octave);
        period *= 2;
        amplitude *= 0.5f;
    }
    return sum;
}

std::uint8_t Byte(float value) {
    return std::uint8_t(std::clamp(value, 0.0f, 255.0f));
}

// Distance from (x, y) to a rounded rectangle's edge: negative inside.
float RoundedBoxDistance(float x, float y, float halfWidth, float halfHeight, float radius) {
    const float qx = std::abs(x) - halfWidth + radius;
    const float qy = std::abs(y) - halfHeight + radius;
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

bool InsidePolygon(const std::vector<std::pair<float, float>>& polygon, float x, float y) {
    bool inside = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const auto [xi, yi] = polygon[i];
        const auto [xj, yj] = polygon[j];
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) {
            inside = !inside;
        }
    }
    return inside;
}

// A white shape with a dark outline, antialiased by 4 x 4 supersampling; outline points in 0..1.
RgbaImage CursorFromOutline(int size, const std::vector<std::pair<float, float>>& outline) {
    RgbaImage image(size, size);
    const float border = 1.5f / float(size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int fill = 0;
            int edge = 0;
            for (int sample = 0; sample < 16; ++sample) {
                const float u = (float(x) + (float(sample % 4) + 0.5f) / 4) / float(size);
                const float v = (float(y) + (float(sample / 4) + 0.5f) / 4) / float(size);
                if (!InsidePolygon(outline, u, v)) {
                    continue;
                }
                const bool nearEdge =
                    !InsidePolygon(outline, u - border, v) || !InsidePolygon(outline, u + border, v) ||
                    !InsidePolygon(outline, u, v - border) || !InsidePolygon(outline, u, v + border);
                (nearEdge ? edge : fill) += 1;
            }
            const float coverage = float(fill + edge) / 16.0f;
            const float shade = edge + fill > 0 ? 255.0f * float(fill) / float(fill + edge) : 0.0f;
            image.Set(x, y, Rgba{Byte(shade), Byte(shade), Byte(shade), Byte(coverage * 255.0f)});
        }
    }
    return image;
}

// A square picture whose every pixel is the colour at its texture coordinates.
template <typename ColourAt>
RgbaImage PaintSquare(int size, ColourAt colourAt) {
    RgbaImage image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            image.Set(x, y, colourAt(float(x) / float(size), float(y) / float(size)));
        }
    }
    return image;
}

}  // namespace

RgbaImage RockTexture(int size) {
    return PaintSquare(size, [](float u, float v) {
        const float grain = TilingFractal(u, v, 11);
        const float veins = std::abs(TilingFractal(u, v, 29) - 0.5f) < 0.02f ? 0.7f : 1.0f;
        const float light = (0.35f + 0.9f * grain) * veins;
        return Rgba{Byte(150 * light), Byte(128 * light), Byte(104 * light), 255};
    });
}

RgbaImage WaterTexture(int size) {
    return PaintSquare(size, [](float u, float v) {
        const float ripple = TilingFractal(u, v, 47);
        const float caustic = std::pow(1.0f - std::abs(2.0f * TilingFractal(u, v, 53) - 1.0f), 8.0f);
        return Rgba{Byte(20 + 60 * ripple + 120 * caustic), Byte(80 + 90 * ripple + 120 * caustic),
                    Byte(120 + 100 * ripple + 90 * caustic), 255};
    });
}

RgbaImage ButtonTexture(int width, int height, ButtonState state) {
    struct Style {
        float r, g, b, rim;
    };
    const Style style = state == ButtonState::Normal  ? Style{40, 70, 110, 150}
                        : state == ButtonState::Hover ? Style{60, 120, 190, 255}
                                                      : Style{200, 150, 60, 255};
    RgbaImage image(width, height);
    const float halfWidth = float(width) / 2 - 1;
    const float halfHeight = float(height) / 2 - 1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float px = float(x) + 0.5f - float(width) / 2;
            const float py = float(y) + 0.5f - float(height) / 2;
            const float distance = RoundedBoxDistance(px, py, halfWidth, halfHeight, halfHeight * 0.6f);
            const float coverage = std::clamp(0.5f - distance, 0.0f, 1.0f);
            const float rim = std::clamp(1.0f - std::abs(distance + 2.5f) / 2.0f, 0.0f, 1.0f);
            const float gloss = 1.0f + 0.35f * (1.0f - float(y) / float(height));
            const float r = style.r * gloss * (1 - rim) + style.rim * rim;
            const float g = style.g * gloss * (1 - rim) + style.rim * rim;
            const float b = style.b * gloss * (1 - rim) + style.rim * rim;
            image.Set(x, y, Rgba{Byte(r), Byte(g), Byte(b), Byte(coverage * 220.0f)});
        }
    }
    return image;
}

RgbaImage PanelTexture(int width, int height) {
    RgbaImage image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float px = float(x) + 0.5f - float(width) / 2;
            const float py = float(y) + 0.5f - float(height) / 2;
            const float distance =
                RoundedBoxDistance(px, py, float(width) / 2 - 1, float(height) / 2 - 1, 12.0f);
            const float coverage = std::clamp(0.5f - distance, 0.0f, 1.0f);
            image.Set(x, y, Rgba{10, 20, 35, Byte(coverage * 140.0f)});
        }
    }
    return image;
}

RgbaImage ArrowCursorTexture(int size) {
    return CursorFromOutline(size, {{0.05f, 0.03f},
                                    {0.05f, 0.80f},
                                    {0.24f, 0.62f},
                                    {0.38f, 0.93f},
                                    {0.50f, 0.88f},
                                    {0.36f, 0.58f},
                                    {0.62f, 0.58f}});
}

RgbaImage HandCursorTexture(int size) {
    return CursorFromOutline(size, {{0.30f, 0.03f},
                                    {0.42f, 0.03f},
                                    {0.42f, 0.40f},
                                    {0.52f, 0.36f},
                                    {0.60f, 0.40f},
                                    {0.68f, 0.38f},
                                    {0.76f, 0.44f},
                                    {0.84f, 0.44f},
                                    {0.90f, 0.52f},
                                    {0.88f, 0.78f},
                                    {0.76f, 0.96f},
                                    {0.38f, 0.96f},
                                    {0.12f, 0.62f},
                                    {0.18f, 0.54f},
                                    {0.30f, 0.62f}});
}

}  // namespace zumbo::datagen
