#include "graphics/Fonts.h"

platform::Font* g_fontLarge = nullptr;
platform::Font* g_fontSmall = nullptr;
