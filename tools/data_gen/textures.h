#pragma once
// Procedural textures of the demo: rock, water, menu buttons and the mouse cursor.

#include <string>

#include "tools/data_gen/rgba_image.h"

namespace zumbo::datagen {

RgbaImage RockTexture(int size);
RgbaImage WaterTexture(int size);

// A rounded button face; the states differ in colour and rim so hover and press show.
enum class ButtonState { Normal, Hover, Pressed };
RgbaImage ButtonTexture(int width, int height, ButtonState state);

// Translucent backing panel of the menu.
RgbaImage PanelTexture(int width, int height);

// Cursor shapes drawn from outlines: an arrow and a pointing hand.
RgbaImage ArrowCursorTexture(int size);
RgbaImage HandCursorTexture(int size);

}  // namespace zumbo::datagen
