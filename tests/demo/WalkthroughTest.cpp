// The demo played from its first click to the closing card by the walkthrough replay: every
// errand, the watchman's conversation, the taper lit at the mended lamp, the map out to the
// pier, the harbour light, the cut-scene and the last room, saved there with F2; and the
// same end reached from a save made on the way and loaded in a new run, or by skipping the
// cut-scene with Escape.
#include "demo/Playthrough.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "core/SaveFormat.h"

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

namespace {

struct ReplayLine {
    int frame = 0;
    std::string event; // what follows the frame number
};

// The walkthrough's events in order, without its comments and blank lines.
std::vector<ReplayLine> WalkthroughLines() {
    std::vector<ReplayLine> lines;
    std::istringstream text(Walkthrough());
    for (std::string line; std::getline(text, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        ReplayLine parsed;
        fields >> parsed.frame;
        std::getline(fields >> std::ws, parsed.event);
        lines.push_back(parsed);
    }
    return lines;
}

std::string Lines(const std::vector<ReplayLine>& lines) {
    std::string text;
    for (const ReplayLine& line : lines)
        text += std::to_string(line.frame) + " " + line.event + "\n";
    return text;
}

// The walkthrough up to `split` (the events before it), then an F2 save and the end of the run.
std::string PlayAndSaveAt(const std::vector<ReplayLine>& all, int split) {
    std::vector<ReplayLine> first;
    for (const ReplayLine& line : all)
        if (line.frame < split) first.push_back(line);
    first.push_back({split - 4, "key F2"});
    first.push_back({split - 2, "close"});
    return Lines(first);
}

// A new run that loads save.dat with F3, then plays the walkthrough on from `split`, its
// events moved to start at frame 10.
std::string LoadAndPlayOnFrom(const std::vector<ReplayLine>& all, int split) {
    std::vector<ReplayLine> rest{{5, "key F3"}};
    for (const ReplayLine& line : all)
        if (line.frame >= split) rest.push_back({line.frame - split + 10, line.event});
    return Lines(rest);
}

SavedGame ParsedSave(const TempDir& dir) {
    return Parsed(Bytes(dir / "save.dat"));
}

// A save as a restore takes it back. Depths are written but never read: each is worked out
// again from the frames an object shows, so they tell how a game was played, not where it is.
SavedGame AsRestored(SavedGame game) {
    for (SavedObject& o : game.objects)
        o.z = 0;
    return game;
}

// The closing card saved at the end of the whole walkthrough, played once for every test.
const SavedGame& TheEnd() {
    static const SavedGame end = [] {
        TempDir dir;
        const Play play = RunDemo(dir, Walkthrough());
        EXPECT_EQ(play.status, 0) << play.output;
        return AsRestored(ParsedSave(dir));
    }();
    return end;
}

} // namespace

TEST(Walkthrough, ASaveMadeOnTheWayAndLoadedInANewRunFinishesTheSameGame) {
    ASSERT_EQ(TheEnd().roomName, "Ending");
    const std::vector<ReplayLine> all = WalkthroughLines();
    // Each split falls where nothing moves and the next event is the player's.
    const struct {
        int split;
        const char* room;
        const char* what;
    } saves[] = {
        {1560, "Harbour", "after the conversation, with the herring given and the key taken"},
        {2760, "Harbour", "the lamp mended, the taper not yet fetched"},
        {3640, "Harbour", "the taper lit, the pier open on the map"},
    };
    for (const auto& save : saves) {
        SCOPED_TRACE(save.what);
        TempDir dir;
        const Play first = RunDemo(dir, PlayAndSaveAt(all, save.split));
        ASSERT_EQ(first.status, 0) << first.output;
        ASSERT_EQ(ParsedSave(dir).roomName, save.room);

        const Play second = RunDemo(dir, LoadAndPlayOnFrom(all, save.split));
        ASSERT_EQ(second.status, 0) << second.output;
        EXPECT_TRUE(
            InOrder(second.trace, {"Restored save.dat\n", Delivered("GOTO", 0, "Pier", "MapPier"),
                                   Delivered("SETSEQ", 0, "Finale", "Beacon"),
                                   Delivered("GOTO", 0, "Ending", "Ship"), "Saved save.dat\n"}));
        EXPECT_EQ(AsRestored(ParsedSave(dir)), TheEnd());
    }
}

TEST(Walkthrough, EscapeInTheCutSceneEndsTheGameAsWatchingItDoes) {
    std::vector<ReplayLine> toTheBeacon;
    for (const ReplayLine& line : WalkthroughLines())
        if (line.frame <= 3714) toTheBeacon.push_back(line); // the lit taper on the light
    // Early in the scene, and late in it while the mail boat speaks.
    for (const int escape : {4000, 4300}) {
        SCOPED_TRACE(escape);
        std::vector<ReplayLine> replay = toTheBeacon;
        replay.push_back({escape, "key Escape"});
        replay.push_back({escape + 100, "key F2"});
        replay.push_back({escape + 102, "close"});
        TempDir dir;
        const Play play = RunDemo(dir, Lines(replay));
        ASSERT_EQ(play.status, 0) << play.output;
        // The scene's last reactions still ran: it ended itself and took the game on.
        EXPECT_TRUE(
            InOrder(play.trace, {Delivered("SETSEQ", 0, "Finale", "Beacon"),
                                 Delivered("ENDSEQ", 0, "Finale", "Ship"),
                                 Delivered("GOTO", 0, "Ending", "Ship"),
                                 Delivered("default", 0, "Tarvo", "EndCard"), "Saved save.dat\n"}));
        EXPECT_EQ(AsRestored(ParsedSave(dir)), TheEnd());
    }
}
