// The watchman's conversation on Harbour Street, played from a replay: the herring is refused
// until he is talked round, the lines are shown in their speakers' colours and heard, a
// choice switches itself off and opens another, small talk turns through its lines, and the
// notification hands the herring over. A save keeps the switched-off choices for the next
// game. And the data: every line is spoken by someone of the script, from a speech file that
// plays.
#include "demo/DemoData.h"
#include "demo/Playthrough.h"

#include "core/SaveFormat.h"
#include "dialogue/DialogueFormat.h"
#include "dialogue/DialogueMachine.h"
#include "interfaces/QDialogInterface.h"
#include "sound/WaveFile.h"

#include <algorithm>
#include <fstream>

using namespace demo_play;

namespace {

constexpr uint16_t kHerring = 24;

// By the crates: try to take the herring from the boat, then talk to the watchman. The lines
// are skipped with Space, but for the first two, which end with their speech. Then save,
// start a new game (F9) and load the save (F3), and talk to him again.
constexpr const char* kTalk = R"(
880 key G
881 move 360 340
883 ldown 360 340
# the watchman will have none of it: two lines
1000 key Space
1010 key Space
1020 key T
1022 move 525 320
1024 ldown 525 320
# Tarvo walks up, Varnagel joins them, and the watchman begins
1309 shot watchman.png
1559 shot tarvo.png
1719 move 320 442
1721 shot menu.png
# the herring? (his line and two answers)
1723 ldown 320 442
1733 key Space
1743 key Space
1753 key Space
# the cat: four lines, the herring changes hands, Tarvo thanks him
1763 move 321 442
1765 ldown 321 442
1779 key Space
1799 shot varnagel.png
1809 key Space
1819 key Space
1829 key Space
1839 key Space
1849 key Space
1859 key Space
1869 key Space
# small talk twice, then goodnight (its three lines end with their speech)
1879 move 320 442
1881 ldown 320 442
1889 key Space
1899 key Space
1909 move 321 442
1911 ldown 321 442
1919 key Space
1929 key Space
1939 move 320 466
1941 ldown 320 466
2459 key F2
2464 key F9
2469 key F3
2479 key T
2481 move 485 320
2483 ldown 485 320
2499 key Space
2509 key Space
2529 close
)";

std::string Line(const char* kind, const std::string& text) {
    return std::string(kind) + ": " + text + "\n";
}

// Pixels of the line's colour in the bottom band, where lines are written.
int Written(const platform::RgbImage& shot, uint32_t colour) {
    return CountColour(shot, 0, 420, 640, 480, colour);
}

class Conversation : public demo_test::DemoData {};

} // namespace

TEST(Playthrough, TheWatchmanIsTalkedRoundAndHandsOverTheHerring) {
    TempDir dir;
    const Play play = RunDemo(dir, std::string(kOutToTheCrates) + kTalk);
    ASSERT_EQ(play.status, 0) << play.output;
    const std::string herringChoice = "Is that your herring in the rowing boat?";
    const std::string catChoice = "Could the cat have it? He is asleep on our drawer key.";
    EXPECT_TRUE(InOrder(
        play.trace,
        {Line("Phrase", "Oi! Hands off my supper, lad."),
         Line("Phrase", "Sorry! It looked so lonely in there."),
         Line("Phrase", "Evening, lad. Out late, for a clockmaker's boy."),
         Line("Menu", "A quiet night on the quay? | " + herringChoice + " | Goodnight, Holm."),
         Line("Choice", herringChoice), Line("Phrase", herringChoice),
         Line("Phrase", "And it stays in the boat till then, lad."),
         // said once, the herring choice has gone, and the cat's is there
         Line("Menu", "A quiet night on the quay? | " + catChoice + " | Goodnight, Holm."),
         Line("Choice", catChoice),
         Line("Phrase", "And in that drawer are the mantles for your lamp."),
         Line("Phrase", "Mend it, and the herring is yours. Here you are."),
         Delivered("USERMSG", 1, "Varnagel", "NULL"), Delivered("ADDINV", 0, "Herring", "Varnagel"),
         Delivered("CONTINUE", 0, "Varnagel", "Varnagel"),
         Line("Phrase", "Thank you! The cat thanks you too."),
         Line("Menu", "A quiet night on the quay? | Goodnight, Holm."),
         // small talk says the next of its lines at each visit
         Line("Phrase", "Quiet as a gull with its head under its wing."),
         Line("Phrase", "Fog by midnight, mark my words. My knee says so."),
         Line("Choice", "Goodnight, Holm."),
         Line("Phrase", "And you mind that knee of yours, old friend."),
         // a new game, loaded from the save: the choices said stay off
         "Restored save.dat\n", Line("Phrase", "Evening, lad. Out late, for a clockmaker's boy."),
         Line("Menu", "A quiet night on the quay? | Goodnight, Holm.")}));
    // Refused, the herring stayed in the boat: the first time it goes into the case is when
    // the watchman lets it go.
    const std::string handedOver = Delivered("ADDINV", 0, "Herring", "Varnagel");
    EXPECT_EQ(play.trace.find(handedOver.substr(0, handedOver.find('\t'))),
              play.trace.find(handedOver));
    // He talks while his lines are said and stands again when another speaks.
    EXPECT_TRUE(
        InOrder(play.trace, {Line("Phrase", "Evening, lad. Out late, for a clockmaker's boy."),
                             Delivered("SET", 421, "Watchman", "Watchman"),
                             Line("Phrase", "Evening, Holm. Clocks never sleep, and neither does "
                                            "Varnagel."),
                             Delivered("SET", 420, "Watchman", "Watchman")}));
    // Each speaker's colour, and the choice under the pointer lit.
    EXPECT_GT(Written(Shot(dir, "watchman.png"), kOtherPhraseColor), 300);
    EXPECT_GT(Written(Shot(dir, "tarvo.png"), kTarvoPhraseColor), 300);
    EXPECT_GT(Written(Shot(dir, "varnagel.png"), kVarnagelPhraseColor), 300);
    const auto menu = Shot(dir, "menu.png");
    EXPECT_GT(CountColour(menu, 0, 431, 640, 454, kChoiceHighlight), 300);
    EXPECT_EQ(CountColour(menu, 0, 406, 640, 431, kChoiceHighlight), 0);
    EXPECT_GT(CountColour(menu, 0, 406, 640, 431, kChoiceColor), 300);
    // The save holds the herring in the case.
    std::ifstream in(dir / "save.dat", std::ios::binary);
    const std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
    SavedGame saved;
    std::string error;
    ASSERT_TRUE(ParseSavedGame(bytes, saved, error)) << error;
    EXPECT_NE(std::find(saved.inventory.begin(), saved.inventory.end(), kHerring),
              saved.inventory.end());
}

TEST_F(Conversation, EveryLineIsSaidBySomeoneAndItsRecordingPlays) {
    DialogueTables tables;
    DialoguePhrases lines;
    std::string error;
    ASSERT_TRUE(ParseDialogueTables(demo_test::ReadThroughFileLayer("dialogue.fix"), tables, error))
        << error;
    ASSERT_TRUE(ParseDialoguePhrases(demo_test::ReadThroughFileLayer("dialogue.lod"), lines, error))
        << error;
    for (const DialogueObject& o : tables.objects)
        EXPECT_NE(ById(static_cast<uint16_t>(o.id)), nullptr) << o.id;
    ASSERT_GE(lines.phrases.size(), 10u);
    for (const DialoguePhrase& line : lines.phrases) {
        SCOPED_TRACE(line.text);
        EXPECT_NE(ById(static_cast<uint16_t>(line.speakerId)), nullptr);
        ASSERT_FALSE(line.SoundName().empty()) << "every line is spoken";
        const std::vector<uint8_t> speech =
            demo_test::ReadThroughFileLayer("SPEECH\\" + line.SoundName());
        sound::MemoryWaveSource source(speech);
        sound::WaveLayout layout;
        ASSERT_TRUE(sound::ParseWaveLayout(source, layout, error)) << error;
        EXPECT_TRUE(sound::IsPlayableFormat(layout.format, error)) << error;
        EXPECT_EQ(layout.format.samplesPerSec, 22050u);
        EXPECT_EQ(layout.format.channels, 1u);
        // Long enough to be words, short enough to be one line.
        const uint32_t ms = layout.dataSize * 1000 / layout.format.avgBytesPerSec;
        EXPECT_GT(ms, 500u);
        EXPECT_LT(ms, 8000u);
    }
    // Each notification has the script's answer: a USERMSG reaction of Varnagel for it.
    for (uint32_t word : tables.code) {
        if (DialogueOpcode(word) != dialogue_op::kNotify) continue;
        bool answered = false;
        for (const ScriptReaction& r : ById(1)->reactions)
            answered |= r.type == USERMSG && !r.messages.empty() && r.messages[0].type == IF &&
                        r.messages[0].param1 == (word & 0xFFFF);
        EXPECT_TRUE(answered) << "notify " << (word & 0xFFFF);
    }
}
