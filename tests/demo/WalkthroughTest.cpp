// The demo played from its first click to the closing card by the walkthrough replay: every
// errand, the watchman's conversation, the taper lit at the mended lamp, the map out to the
// pier, the harbour light, the cut-scene and the last room, saved there with F2.
#include "demo/Playthrough.h"

#include <fstream>
#include <sstream>

using namespace demo_play;

namespace {

std::string Walkthrough() {
    std::ifstream in(std::string(TARVO_SOURCE_DIR) + "/demo/walkthrough.txt");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(Walkthrough, PlaysTheGameToItsEndAndSavesTheLastRoom) {
    const std::string replay = Walkthrough();
    ASSERT_FALSE(replay.empty()) << "demo/walkthrough.txt is missing";
    TempDir dir;
    const Play play = RunDemo(dir, replay);
    ASSERT_EQ(play.status, 0) << play.output;
    EXPECT_TRUE(InOrder(
        play.trace,
        {Delivered("GOTO", 0, "Harbour", "WorkshopDoor"), "Phrase: Could the cat have it?",
         Delivered("ADDINV", 0, "Herring", "Varnagel"), Delivered("ADDINV", 0, "Mantle", "Drawer"),
         Delivered("STATUS", 1, "Lamp", "Lamp"), Delivered("GOTO", 0, "Workshop", "MapWorkshop"),
         Delivered("ADDINV", 0, "Taper", "Tapers"), Delivered("DELINV", 0, "Taper", "Lamp"),
         Delivered("ADDINV", 0, "LitTaper", "Lamp"), Delivered("GOTO", 0, "Pier", "MapPier"),
         Delivered("DELINV", 0, "LitTaper", "Beacon"), Delivered("SETSEQ", 0, "Finale", "Beacon"),
         Delivered("TALK", 0, "Ship", "Ship"), "Phrase: Ahoy, the pier! Thank you for the light!",
         Delivered("ENDSEQ", 0, "Finale", "Ship"), Delivered("GOTO", 0, "Ending", "Ship"),
         "Saved save.dat"}));
    // The harbour light burns on the pier, and in the last room the characters step aside.
    EXPECT_TRUE(Contains(play.trace, Delivered("SET", 472, "Beacon", "Beacon")));
    const size_t end = play.trace.find(Delivered("GOTO", 0, "Ending", "Ship"));
    ASSERT_NE(end, std::string::npos);
    EXPECT_TRUE(Contains(play.trace.substr(end), Delivered("default", 0, "Tarvo", "EndCard")));
    // Nothing of the cut-scene runs on once the last room is entered.
    EXPECT_EQ(play.trace.find("Phrase:", end), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir / "save.dat"));
}
