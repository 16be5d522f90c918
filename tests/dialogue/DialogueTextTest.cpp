// The conversation language: what authors write plays as they meant it, mistakes are named
// with their line, and the text form carries any pair of files over byte for byte.
#include <gtest/gtest.h>

#include "core/MessageTypes.h"
#include "core/ScriptNames.h"
#include "dialogue/DialogueCode.h"
#include "dialogue/DialogueText.h"

#include <random>

using namespace dialogue_test;

namespace {

const ScriptNames kNoNames(nullptr);

// The example of the language's description, with the names it uses.
const char* const kClockmaker = R"src(# The clockmaker at the harbour.
name Tarvo = 0
name Varnagel = 1
name Clockmaker = 7
name Key = 20

object Clockmaker
  on TALK
    entry hello
  on OBJECTUSE Key
    entry key_shown

hello:
  Clockmaker cm01.wav "Good day."
ask:
  menu
    choice Tarvo t01.wav "Why are the clocks stopped?"
      Clockmaker cm02.wav "The tower clock sets them, and it is broken."
      goto ask
    choice key: Tarvo t02.wav "Could we mend it?"
      Clockmaker cm03.wav "Take my key. The tower is yours."
      notify 12
      disable
      enable tower
      goto ask
    choice tower: off Tarvo t03.wav "Is the tower open?" -> tower_talk
    choice quiet Varnagel v01.wav "(Leave.)"
      end
  end
tower_talk:
  Clockmaker cm04.wav "It is. Mind the stairs."
  goto ask
key_shown:
  cycle
    Clockmaker cm05.wav "A fine key."
    Clockmaker cm06.wav "Still a fine key."
      notify 3
  end
)src";

DialogueFiles Compile(const std::string& text, const ScriptNames& names = kNoNames) {
    DialogueFiles files;
    std::string error;
    EXPECT_TRUE(DialogueFromText(text, names, files, error)) << error;
    return files;
}

// A bench playing compiled text from the handler of object 7 for `key`.
struct Played {
    explicit Played(const DialogueFiles& files) : bench({}) {
        bench.machine = DialogueMachine(files.tables);
        bench.machine.SetPhrases(files.phrases.phrases);
        DialogueHooks hooks;
        hooks.notify = [this](uint16_t a) { bench.notes.push_back(a); };
        hooks.errorLog = [this](const std::string& text) { bench.logs.push_back(text); };
        bench.machine.SetHooks(hooks);
    }
    Bench bench;
};

} // namespace

TEST(DialogueText, TheDescribedExamplePlaysAsWritten) {
    const DialogueFiles files = Compile(kClockmaker);
    Played talk(files);
    ASSERT_TRUE(talk.bench.machine.Start(7, TALK, -1));
    EXPECT_EQ(
        talk.bench.Play({1, 1, 2}),
        (std::vector<std::string>{
            "Good day.", "[Why are the clocks stopped?|Could we mend it?|(Leave.)]",
            "Could we mend it?", // a picked choice is said first
            "Take my key. The tower is yours.", "notify 12",
            "[Why are the clocks stopped?|Is the tower open?|(Leave.)]", "It is. Mind the stairs.",
            "[Why are the clocks stopped?|Is the tower open?|(Leave.)]",
            "end", // a quiet choice is not said
        }));
    EXPECT_TRUE(talk.bench.logs.empty());

    Played key(files);
    ASSERT_TRUE(key.bench.machine.Start(7, OBJECTUSE + 65536u * 20, -1));
    EXPECT_EQ(key.bench.Play(), (std::vector<std::string>{"A fine key.", "end"}));
    key.bench.machine.Start(7, OBJECTUSE + 65536u * 20, -1);
    EXPECT_EQ(key.bench.Play(), (std::vector<std::string>{"Still a fine key.", "notify 3", "end"}));
}

TEST(DialogueText, BodiesGoOnAfterTheirMenuAndOtherwiseRunsWhenNoChoiceIsLeft) {
    const DialogueFiles files = Compile(R"src(
object 7
  on TALK
    entry start
start:
  menu
    choice 1 "First"
      2 "First answer"
    choice quiet 1 "Second"
    otherwise
      2 "Nothing left to say"
      end
  2 "After the menu"
  menu
    choice 1 "Last question" -> last
  end
last:
  disable start 0
  disable start 1
  goto start
)src");
    Played p(files);
    p.bench.machine.Start(7, TALK, -1);
    EXPECT_EQ(p.bench.Play({0}),
              (std::vector<std::string>{"[First|Second]", "First", "First answer", "After the menu",
                                        "Nothing left to say", "end"}));
    Played q(files);
    q.bench.machine.Start(7, TALK, -1);
    EXPECT_EQ(q.bench.Play({1}, 3), (std::vector<std::string>{"[First|Second]", "After the menu",
                                                              "Nothing left to say"}));
}

TEST(DialogueText, IdenticalPhrasesShareANumberInTheOrderOfUse) {
    // Written by an editor that starts the file with a byte order mark.
    const DialogueFiles files = Compile("\xEF\xBB\xBF"
                                        R"src(
name Тарво = 0
Тарво t1.wav "Привет"
1 "Hello"
Тарво t1.wav "Привет"
"Тарво" t1.wav "Привет"
1 other.wav "Hello"
end
)src");
    ASSERT_EQ(files.phrases.phrases.size(), 3u);
    EXPECT_EQ(files.phrases.phrases[0].text, "\xCF\xF0\xE8\xE2\xE5\xF2"); // Windows-1251
    EXPECT_EQ(files.phrases.phrases[0].SoundName(), "t1.wav");
    EXPECT_EQ(files.phrases.phrases[1].SoundName(), "");
    EXPECT_EQ(files.tables.code, (std::vector<uint32_t>{Phrase(0), Phrase(1), Phrase(0), Phrase(0),
                                                        Phrase(2), End()}));
}

TEST(DialogueText, NamesComeFromTheScriptAndTheTextCanSettleThem) {
    ScriptData script;
    script.objects = {
        {0, "Tarvo", 0, {}}, {1, "Varnagel", 0, {}}, {9, "Twin", 0, {}}, {10, "Twin", 0, {}}};
    const ScriptNames names(&script);
    const DialogueFiles files =
        Compile("Varnagel \"Hi\"\nname Twin = 10\nTwin \"Hey\"\nend\n", names);
    EXPECT_EQ(files.phrases.phrases[0].speakerId, 1);
    EXPECT_EQ(files.phrases.phrases[1].speakerId, 10);

    DialogueFiles out;
    std::string error;
    EXPECT_FALSE(DialogueFromText("Twin \"Hey\"\nend\n", names, out, error));
    EXPECT_EQ(error, "1: 'Twin' names several objects of the script; write its id");

    // The dump names what the script names unambiguously, and declares it.
    const std::string text = DialogueToText(files, names);
    EXPECT_NE(text.find("name Varnagel = 1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  Varnagel \"Hi\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  10 \"Hey\"\n"), std::string::npos) << text;
}

TEST(DialogueText, MistakesAreNamedWithTheirLine) {
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        {"goto nowhere\n", "1: unknown label 'nowhere'"},
        {"\nClokmaker \"Hi\"\nend\n",
         "2: unknown speaker 'Clokmaker' (name it with 'name Clokmaker = ID', or give the game's "
         "script with --script)"},
        {"7 Hi\n", "1: the text of a phrase goes in quotes: SPEAKER [FILE] \"TEXT\""},
        {"7\n", "1: a phrase is SPEAKER [SPEECH FILE] \"TEXT\""},
        {"7 a b \"Hi\"\n", "1: a phrase is SPEAKER [SPEECH FILE] \"TEXT\""},
        {"notify 70000\n", "1: the notification 70000 is outside 0..65535"},
        {"notify x\n", "1: expected a number for the notification, not 'x'"},
        {"word 0x1FFFFFFFF\n", "1: the code word 0x1FFFFFFFF is outside 0..4294967295"},
        {"7 sixteen_chars.wav \"Hi\"\nend\n",
         "1: speech file name 'sixteen_chars.wav' is longer than 15 characters"},
        {"a:\nend\na:\nend\n", "3: label 'a' is already used on line 1"},
        {"end\nlast:\n", "2: label 'last' has no statement after it"},
        {"7 \"Hi\"\n", "1: the conversation can run on past the last statement here; end it "
                       "with 'end' or 'goto'"},
        {"menu\nend\n", "1: a menu needs its choices on the lines indented below it"},
        {"menu\n  7 \"Hi\"\n", "2: a menu holds only 'choice' and 'otherwise' lines"},
        {"x:\n  menu\n    choice 7 \"A\" -> x\n",
         "2: the conversation runs on below this menu when no choice is left or a choice's "
         "lines go on, and nothing follows; end it with 'end' or 'goto'"},
        {"menu\n  choice 7 \"A\" -> x\n    end\nx:\nend\n",
         "3: a choice that goes on with '->' has no lines below it"},
        {"disable\nend\n", "1: 'disable' alone names the choice whose body it is in; outside "
                           "one, name the choice"},
        {"disable k\nend\n", "1: no choice is named 'k'"},
        {"menu\n  choice k: 7 \"A\"\n  choice 7 \"B\"\nmenu\n  choice k: 7 \"C\"\ndisable k\nend\n",
         "6: choices named 'k' stand on lines 2 and 5; name the menu too"},
        {"m:\n  menu\n    choice 7 \"A\"\ndisable m 3\nend\n", "4: menu 'm' has 1 choices, from 0"},
        {"m:\n  7 \"A\"\ndisable m 0\nend\n", "3: 'm' is not the label of a menu"},
        {"cycle\n  7 \"A\"\n    goto x\nx:\nend\n",
         "3: a cycle's phrase holds only phrases, notify, disable and enable: anything else "
         "would leave the cycle"},
        {"cycle at 2\n  7 \"A\"\nend\n", "1: 'at 2' names no phrase of the cycle"},
        {"choice 7 \"A\"\n", "1: 'choice' stands only indented below a menu"},
        {"on TALK\n", "1: 'on' needs an 'object' line above it"},
        {"object 7\n  on TLAK\n", "2: unknown message type 'TLAK'"},
        {"object 7\n  entry a\n", "2: 'entry' needs an 'on' line above it"},
        {"object 7\n  on TALK\n    entry a\n", "3: unknown label 'a'"},
        {"menu\n  choice 7 \"A\"\n    object 7\n",
         "3: 'object' lines stand outside menus and cycles"},
        {"phrase 1 7 \"A\"\n", "1: phrase lines are numbered 0, 1, 2... in order: expected 0"},
        {"7 \"A \\q\"\n", "1: bad escape in a name (use \\\", \\\\ or \\x and two hex digits)"},
        {"7 \"A\\x00B\"\nend\n", "1: a phrase's text cannot hold a NUL byte"},
        {"name X 7\n", "1: a name line is: name NAME = ID"},
    };
    for (const auto& c : cases) {
        DialogueFiles files;
        std::string error;
        EXPECT_FALSE(DialogueFromText(c.text, kNoNames, files, error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

TEST(DialogueText, HandWrittenConversationsComeBackFromTheirDump) {
    const std::string sources[] = {
        kClockmaker,
        // Handler forms: any object, any item, a numeric type, a default entry, lists.
        "object any\n  on LOOK default 1 ignored 0x10\n    entry a list 1 -2 ignored 7\n"
        "    entry b\n  on OBJECTUSE any\n  on 4660\nobject 12 ignored 0xFFFFFFFF\n"
        "a:\n  nop\n  endblock\nb:\n  word 0x0A000001\n  say 40\n  goto @3\n"
        "trailing fix 00 01\ntrailing lod FF\n",
        // An explicit phrase table with a repeated phrase and an ignored field.
        "phrase 0 7 \"Same\"\nphrase 1 7 \"Same\"\nphrase 2 8 \"x\\x00y\" \"Other\" ignored 5\n"
        "say 1\n7 \"Same\"\nsay 2\nnotify 0\nenable @0 17\nend\n",
        // Nested menus, a cycle that starts later, choices off and switched by menu label.
        "top:\n  menu\n    choice 1 \"A\"\n      inner:\n      menu\n        choice 2 \"B\"\n"
        "          disable\n        choice off 2 \"C\"\n          enable top 0\n"
        "    choice quiet 1 \"D\"\n  cycle at 1\n    3 \"E\"\n    3 \"F\"\n      disable inner 1\n"
        "  goto top\n",
    };
    for (const std::string& source : sources) {
        const DialogueFiles files = Compile(source);
        const std::string text = DialogueToText(files, kNoNames);
        DialogueFiles back;
        std::string error;
        ASSERT_TRUE(DialogueFromText(text, kNoNames, back, error)) << error << "\n" << text;
        EXPECT_EQ(back, files) << text;
        // Written as statements, menus and cycles, not as raw words.
        if (source != sources[1]) {
            EXPECT_EQ(text.find("word "), std::string::npos) << text;
        }
        if (source == sources[3]) {
            EXPECT_NE(text.find("  cycle at 1\n"), std::string::npos) << text;
            EXPECT_NE(text.find("    choice off 2 \"C\" -> L"), std::string::npos) << text;
        }
    }
}

TEST(DialogueText, AnyFilesComeBackFromTheirDump) {
    // Files no compiler made: random words (biased towards real opcodes and addresses that
    // land in the code), random tables and phrases, garbage in the ignored fields.
    std::mt19937 random(20240611);
    auto pick = [&](uint32_t n) { return static_cast<uint32_t>(random() % n); };
    for (int round = 0; round < 300; ++round) {
        DialogueFiles files;
        const uint32_t size = 1 + pick(40);
        const uint32_t phrases = pick(6);
        for (uint32_t i = 0; i < size; ++i) {
            const uint32_t op = pick(4) == 0 ? pick(256) : pick(10);
            uint32_t operand = pick(3) == 0 ? static_cast<uint32_t>(random()) & 0xFFFFFF
                                            : pick(size + 2) | (pick(3) << 8) | (pick(2) << 16);
            if (op == dialogue_op::kPhrase && pick(2)) operand = pick(phrases + 1);
            files.tables.code.push_back(op << 24 | operand);
        }
        for (uint32_t i = 0; i < phrases; ++i) {
            DialoguePhrase p;
            p.speakerId = static_cast<int32_t>(pick(3)) - 1;
            p.text = pick(2) ? "line" : std::string(1, static_cast<char>(pick(255) + 1));
            if (pick(2)) p.SetSoundName(pick(2) ? "a.wav" : "\xC0 b");
            if (pick(4) == 0) p.nameField[15] = 'z';
            if (pick(4) == 0) p.ignored = static_cast<uint32_t>(random());
            files.phrases.phrases.push_back(p);
        }
        for (uint32_t o = pick(3); o > 0; --o) {
            DialogueObject object{static_cast<int32_t>(pick(3) ? pick(20) : 0xfffe),
                                  pick(3) ? 0 : static_cast<uint32_t>(random()),
                                  {}};
            for (uint32_t h = pick(3); h > 0; --h) {
                DialogueHandler handler{static_cast<int32_t>(pick(2) ? pick(60) : random()),
                                        static_cast<int32_t>(pick(3)) - 1,
                                        0,
                                        {}};
                for (uint32_t e = pick(3); e > 0; --e)
                    handler.entries.push_back(
                        {static_cast<int32_t>(pick(size + 2)), {static_cast<int32_t>(pick(9))}, 0});
                object.handlers.push_back(handler);
            }
            files.tables.objects.push_back(object);
        }
        if (pick(5) == 0) files.tables.trailing = {0x12, 0x34};
        const std::string text = DialogueToText(files, kNoNames);
        DialogueFiles back;
        std::string error;
        ASSERT_TRUE(DialogueFromText(text, kNoNames, back, error))
            << "round " << round << ": " << error << "\n"
            << text;
        ASSERT_EQ(back, files) << "round " << round << "\n" << text;
    }
}

TEST(DialogueText, TheListingShowsTablesCodeAndPhrases) {
    const std::string listing = DialogueListing(Compile(kClockmaker), kNoNames);
    for (const char* line : {
             "dialogue.fix: 1 object, 2 handlers, 35 code words\n",
             "  on OBJECTUSE 20 (1310746): 1 entry, default 0\n",
             "  0001  02000B04  menu, 4 choices, on: 0 1 3\n",
             "  0014  0900000C  notify 12 (USERMSG to the script)\n",
             "  0015  04010001  disable choice 1 of the menu at 0001\n",
             "  001C  08000002  cycle, 2 blocks, next block 0\n",
             "  0000  07000000  phrase 0  7: \"Good day.\"\n",
             "dialogue.lod: 10 phrases\n",
             "  4  speaker 1  v01.wav  \"(Leave.)\"\n",
         })
        EXPECT_NE(listing.find(line), std::string::npos) << line << "\n" << listing;
}
