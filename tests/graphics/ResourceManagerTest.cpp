// The resource table and the manager: parsing quirks, pictures, animations, purging.
#include <gtest/gtest.h>

#include "codecs/FlicBuilders.h"
#include "codecs/PictureBuilders.h"
#include "graphics/QFlic.h"
#include "platform/MessageBox.h"
#include "resources/QManager.h"
#include "resources/ResourceTable.h"
#include "support/Assets.h"
#include "support/World.h"

using namespace testing_support;

TEST(ResourceTable, ParsesEntriesTheWayTheGameAlwaysHas) {
    const ResourceTable t = ParseResourceTable(
        "12==A.FLC\r\n13 = B.BMP extra words\r\n14=\tc.flc\n12 = D.FLC\n0015 == E.BMP");
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t.at(12).fileName, "D.FLC"); // the last of two entries wins, flag included
    EXPECT_FALSE(t.at(12).keep);
    EXPECT_EQ(t.at(13).fileName, "B.BMP");
    EXPECT_EQ(t.at(14).fileName, "c.flc");
    EXPECT_EQ(t.at(15).fileName, "E.BMP");
    EXPECT_TRUE(t.at(15).keep);
    // Signs are not digits: "-7" is 7.
    EXPECT_EQ(ParseResourceTable("-7 = X.FLC").count(7), 1u);
    EXPECT_TRUE(ParseResourceTable("no entries here").empty());
    EXPECT_TRUE(ParseResourceTable("5 =").at(5).fileName.empty());
}

TEST(ResourceTable, CompanionSoundNames) {
    EXPECT_EQ(CompanionSoundName("Door1.flc"), "DOOR1.WAV");
    EXPECT_EQ(CompanionSoundName("Room.bmp"), "ROOM.WAV");
    EXPECT_EQ(CompanionSoundName("x.wav"), "X.WAV");
    EXPECT_EQ(CompanionSoundName("FOO.GIF"), "");
    EXPECT_EQ(CompanionSoundName(".FLC"), "");
    EXPECT_EQ(CompanionSoundName("speech\\a.flc"), "SPEECH\\A.WAV");
}

namespace {

class Manager : public ::testing::Test {
protected:
    Manager() : dir(true) {
        platform::SetMessageBoxCapture(
            [this](const std::string& text, const std::string&) { boxes.push_back(text); });
    }
    ~Manager() override { platform::SetMessageBoxCapture(nullptr); }
    // Replaces the world's manager by one reading the qrc written now.
    QManager& Reload(const std::string& qrc) {
        dir.Write("resource.qrc", qrc);
        delete g_manager;
        g_manager = new QManager;
        return *g_manager;
    }

    TempDir dir;
    TestWorld world;
    std::vector<std::string> boxes;
};

} // namespace

TEST_F(Manager, NarrowPicturesAreCentredOnBlack) {
    ASSERT_TRUE(WritePicture(dir, "small.bmp", 320, 200, 40, 80, 120));
    QManager& m = Reload("1 = small.bmp\n");
    g_system->scrollOffset = 33;
    platform::Surface* s = m.GetPicture(1);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Width(), 640);
    EXPECT_EQ(s->Height(), 480);
    const platform::Pixel white = g_pixelShifts.FromRgb(255, 255, 255);
    EXPECT_EQ(s->At(159, 0), 0);
    EXPECT_EQ(s->At(160, 0), white); // the picture's left column
    EXPECT_EQ(s->At(161, 10), g_pixelShifts.FromRgb(40, 80, 120));
    EXPECT_EQ(s->At(479, 199), g_pixelShifts.FromRgb(40, 80, 120));
    EXPECT_EQ(s->At(480, 10), 0);
    EXPECT_EQ(s->At(300, 200), 0);
    EXPECT_EQ(g_system->roomWidth, 320);
    EXPECT_EQ(g_system->scrollOffset, 0);
}

TEST_F(Manager, WidePicturesSetTheRoomWidthAndStretchToFullHeight) {
    ASSERT_TRUE(WritePicture(dir, "wide.bmp", 1280, 240, 10, 20, 30));
    QManager& m = Reload("2 = wide.bmp\n");
    platform::Surface* s = m.GetPicture(2);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Width(), 1280);
    EXPECT_EQ(s->Height(), 480);
    EXPECT_EQ(s->At(0, 479), g_pixelShifts.FromRgb(255, 255, 255));
    EXPECT_EQ(s->At(700, 479), g_pixelShifts.FromRgb(10, 20, 30));
    EXPECT_EQ(g_system->roomWidth, 1280);
    // Found again in the table: no side effects on the world.
    g_system->roomWidth = 640;
    EXPECT_EQ(m.GetPicture(2), s);
    EXPECT_EQ(g_system->roomWidth, 640);
}

TEST_F(Manager, DebugOverlayMarksLoadedPictures) {
    ASSERT_TRUE(WritePicture(dir, "p.bmp", 640, 480, 200, 200, 200));
    QManager& m = Reload("3 = p.bmp\n");
    g_debug->enabled = 1;
    platform::Surface* s = m.GetPicture(3);
    ASSERT_NE(s, nullptr);
    const platform::Pixel grey = g_pixelShifts.FromRgb(200, 200, 200);
    EXPECT_NE(s->At(10, 10) == 0, s->At(11, 10) == 0); // alternate pixels are black
    EXPECT_TRUE(s->At(10, 10) == grey || s->At(11, 10) == grey);
    EXPECT_EQ(s->At(10, 10), s->At(11, 11));
}

TEST_F(Manager, AnimationLookupsAndTheirMessages) {
    QManager& m = Reload("4 = missing.flc\n");
    EXPECT_EQ(m.GetFlic(-1), nullptr);
    EXPECT_EQ(m.GetFlic(-666), nullptr);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(m.GetFlic(5), nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Resource '    5' not found");
    // A listed animation that cannot be read is kept as an invalid one and reported once.
    QFlic* broken = m.GetFlic(4);
    ASSERT_NE(broken, nullptr);
    EXPECT_TRUE(broken->Invalid());
    EXPECT_EQ(m.GetFlic(4), broken);
    EXPECT_EQ(boxes.back(), "Flic missing.flc not found");
    EXPECT_EQ(boxes.size(), 2u);
    // A picture number asked for as an animation.
    m.CreatePicture(-5, 10, 10);
    EXPECT_EQ(m.GetFlic(-5), nullptr);
    EXPECT_EQ(boxes.back(), "Resource '   -5' not equal RSC_FLIC");
    EXPECT_EQ(m.GetPicture(4), nullptr); // loaded as an animation: no picture, no message
    EXPECT_EQ(boxes.size(), 3u);
}

TEST_F(Manager, PurgeKeepsPermanentAndEnginePictures) {
    ASSERT_TRUE(WritePicture(dir, "a.bmp", 64, 64, 1, 2, 3));
    ASSERT_TRUE(WritePicture(dir, "b.bmp", 64, 64, 1, 2, 3));
    QManager& m = Reload("10 = a.bmp\n11 == b.bmp\n");
    ASSERT_NE(m.GetPicture(10), nullptr);
    ASSERT_NE(m.GetPicture(11), nullptr);
    platform::Surface* text = m.CreatePicture(-2, 100, 20);
    EXPECT_EQ(m.CreatePicture(-2, 5, 5), text); // an existing picture is returned unchanged
    m.PurgeResources();
    EXPECT_FALSE(m.IsLoaded(10));
    EXPECT_TRUE(m.IsLoaded(11));
    EXPECT_TRUE(m.IsLoaded(-2));
    m.FreeResource(-2);
    EXPECT_FALSE(m.IsLoaded(-2));
    m.FreeResource(12345); // not loaded: ignored
}

TEST_F(Manager, FileAndSoundNames) {
    QManager& m = Reload("20 = Door.FLC\n21 = hall.bmp\n");
    EXPECT_EQ(m.GetFileName(20), "Door.FLC");
    EXPECT_EQ(m.GetFileName(99), ""); // no made-up name for a number without a file
    EXPECT_TRUE(world.Traced("manager: resource 99 has no file name\n"));
    EXPECT_EQ(m.GetSoundName(21), "HALL.WAV");
    EXPECT_EQ(m.GetSoundName(99), "");
}

TEST_F(Manager, GifPicturesLeaveWorkDibBehindReplacedEachTime) {
    // A 2x1 GIF87a: two colours, LZW min code size 2.
    const unsigned char gif[] = {'G', 'I', 'F', '8', '7', 'a', 2,   0,    1,    0, 0x80, 0,
                                 0,   255, 0,   0,   0,   0,   255, 0x2C, 0,    0, 0,    0,
                                 2,   0,   1,   0,   0,   2,   2,   0x44, 0x01, 0, 0x3B};
    dir.Write("pic.gif", std::string(reinterpret_cast<const char*>(gif), sizeof gif));
    QManager& m = Reload("30 = pic.gif\n31 = pic.gif\n");
    ASSERT_NE(m.GetPicture(30), nullptr);
    const auto size1 = std::filesystem::file_size(dir / "work.dib");
    ASSERT_NE(m.GetPicture(31), nullptr);
    EXPECT_EQ(std::filesystem::file_size(dir / "work.dib"), size1);
}

TEST_F(Manager, FilesClaimingHugePicturesAreRefusedAndChangeNothing) {
    using namespace testpictures;
    BmpSpec bmp = Bmp(40, 65535, 65535, 1);
    bmp.palette = Palette(2);
    GifSpec gif;
    gif.screenWidth = gif.screenHeight = 65535;
    gif.hasImage = false;
    auto text = [](const std::vector<uint8_t>& b) { return std::string(b.begin(), b.end()); };
    dir.Write("huge.bmp", text(BuildBmp(bmp)));
    dir.Write("huge.gif", text(BuildGif(gif)));
    dir.Write("HUGE.FLC", text(flictest::ClaimedSizeFlic(65535, 65535)));
    QManager& m = Reload("1 = huge.bmp\n2 = huge.gif\n3 = huge.flc\n");
    g_system->roomWidth = 1280;
    g_system->scrollOffset = 200;
    EXPECT_EQ(m.GetPicture(1), nullptr);
    EXPECT_EQ(m.GetPicture(2), nullptr);
    EXPECT_EQ(g_system->roomWidth, 1280);
    EXPECT_EQ(g_system->scrollOffset, 200);
    EXPECT_FALSE(std::filesystem::exists(dir / "work.dib"));
    const QFlic* flic = m.GetFlic(3);
    ASSERT_NE(flic, nullptr); // kept, invalid, so that it is reported once
    EXPECT_TRUE(flic->Invalid());
    EXPECT_EQ(m.GetFlic(3), flic);
    EXPECT_EQ(boxes, std::vector<std::string>{"Invalid Flic file: \"huge.flc\"\n"});
}
