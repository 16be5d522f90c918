#include "platform/VirtualKeys.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(VirtualKeys, EveryNamedKeyRoundTripsThroughItsName) {
    int named = 0;
    for (int code = 0; code < 256; ++code) {
        const std::string name = VirtualKeyName(code);
        if (name.empty()) continue;
        ++named;
        EXPECT_EQ(VirtualKeyFromName(name), code) << name;
    }
    // 12 function keys, 26 letters, 10 digits and 11 word-named keys.
    EXPECT_EQ(named, 59);
}

TEST(VirtualKeys, NamesMapToTheGameKeyCodes) {
    EXPECT_EQ(VirtualKeyFromName("F1"), 0x70);
    EXPECT_EQ(VirtualKeyFromName("F12"), 0x7B);
    EXPECT_EQ(VirtualKeyFromName("Escape"), 0x1B);
    EXPECT_EQ(VirtualKeyFromName("Left"), 0x25);
    EXPECT_EQ(VirtualKeyFromName("Down"), 0x28);
    EXPECT_EQ(VirtualKeyFromName("Backquote"), 0xC0);
    EXPECT_EQ(VirtualKeyFromName("Pause"), 0x13);
    EXPECT_EQ(VirtualKeyFromName("I"), 'I');
    EXPECT_EQ(VirtualKeyFromName("7"), '7');
    EXPECT_EQ(VirtualKeyName(0x71), "F2");
    EXPECT_EQ(VirtualKeyName(0x0D), "Return");
}

TEST(VirtualKeys, NamesAreCaseInsensitiveAndEnterIsReturn) {
    EXPECT_EQ(VirtualKeyFromName("escape"), vk::Escape);
    EXPECT_EQ(VirtualKeyFromName("BACKSPACE"), vk::Backspace);
    EXPECT_EQ(VirtualKeyFromName("f11"), vk::F11);
    EXPECT_EQ(VirtualKeyFromName("i"), 'I');
    EXPECT_EQ(VirtualKeyFromName("Enter"), vk::Return);
    EXPECT_EQ(VirtualKeyName(vk::Return), "Return");
}

TEST(VirtualKeys, UnknownNamesAndCodes) {
    for (const char* name : {"", "F0", "F13", "F01", "Fx", "AA", "Ctrl", "-", "Esc "}) {
        EXPECT_EQ(VirtualKeyFromName(name), -1) << '"' << name << '"';
    }
    EXPECT_EQ(VirtualKeyName(0x5B), "");
    EXPECT_EQ(VirtualKeyName(-1), "");
    EXPECT_EQ(VirtualKeyName(0x7C), ""); // F13 has no replay name
}

TEST(VirtualKeys, CharactersProducedByKeys) {
    EXPECT_EQ(CharacterForKey('A'), 'A');
    EXPECT_EQ(CharacterForKey('Z'), 'Z');
    EXPECT_EQ(CharacterForKey('0'), '0');
    EXPECT_EQ(CharacterForKey('9'), '9');
    EXPECT_EQ(CharacterForKey(vk::Backquote), 0x60);
    EXPECT_EQ(CharacterForKey(vk::Space), 0x20);
    EXPECT_EQ(CharacterForKey(vk::Return), 0x0D);
    EXPECT_EQ(CharacterForKey(vk::Tab), 0x09);
    EXPECT_EQ(CharacterForKey(vk::Backspace), 0x08);
    EXPECT_EQ(CharacterForKey(vk::Escape), 0x1B);
    for (int code : {vk::F1, vk::F2, vk::Left, vk::Up, vk::Pause, 0x5B, 0}) {
        EXPECT_EQ(CharacterForKey(code), 0) << code;
    }
}
