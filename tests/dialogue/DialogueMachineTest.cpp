// The conversation machine driven from bytecode written word by word: what a player sees at
// each stop, menus and their choice numbers, cycles, pruning, and saving the code segment.
#include <gtest/gtest.h>

#include "dialogue/DialogueCode.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

using namespace dialogue_test;

namespace {

// `before` at words 0.., then a menu of three choices (texts p0 p1 p2) with `mask`. The
// branches say p3, p4, p5 and end; with every choice off, p6 follows the table.
std::vector<uint32_t> ThreeChoices(std::vector<uint32_t> before, uint32_t mask) {
    const auto b = static_cast<uint32_t>(before.size());
    std::vector<uint32_t> code = std::move(before);
    const std::vector<uint32_t> menu = {
        Menu(3, mask), Phrase(0),    EndBlock(),   Phrase(1),    EndBlock(), Phrase(2),
        EndBlock(),    Goto(b + 12), Goto(b + 14), Goto(b + 16), Phrase(6),  End(),
        Phrase(3),     End(),        Phrase(4),    End(),        Phrase(5),  End()};
    code.insert(code.end(), menu.begin(), menu.end());
    return code;
}

std::vector<uint32_t> CodeOf(const DialogueMachine& machine) {
    return std::vector<uint32_t>(machine.Code().begin(), machine.Code().end());
}

std::vector<uint8_t> SavedState(const DialogueMachine& machine) {
    platform::ByteWriter out;
    machine.SaveState(&out);
    return out.Take();
}

} // namespace

TEST(DialogueOpcodes, EachOpcodeShowsThePlayerWhatItShould) {
    const struct {
        const char* name;
        std::vector<uint32_t> code;
        std::vector<int> choices;
        int maxStops;
        std::vector<std::string> seen;
        std::vector<uint16_t> notes;
    } cases[] = {
        {"phrases in order", {Phrase(0), Phrase(1), End()}, {}, 20, {"p0", "p1", "end"}, {}},
        {"nop and undefined opcodes are passed over",
         {Nop(), Op(0x0A), Op(0xFF, 0x123456), Phrase(0), End()},
         {},
         20,
         {"p0", "end"},
         {}},
        {"goto", {Goto(3), Phrase(0), End(), Phrase(1), End()}, {}, 20, {"p1", "end"}, {}},
        {"end is never passed", {End(), Phrase(0)}, {}, 20, {"end"}, {}},
        {"a menu shows its choices and takes the branch picked",
         ThreeChoices({}, 0b111),
         {1},
         20,
         {"[p0|p1|p2]", "p4", "end"},
         {}},
        {"a menu with one choice left takes it without asking",
         ThreeChoices({}, 0b010),
         {},
         20,
         {"p4", "end"},
         {}},
        {"a menu with no choice left goes on behind its table",
         ThreeChoices({}, 0),
         {},
         20,
         {"p6", "end"},
         {}},
        {"disable hides a choice and visible numbers skip it",
         ThreeChoices({Disable(1, 0)}, 0b111),
         {0},
         20,
         {"[p1|p2]", "p4", "end"},
         {}},
        {"enable shows a choice",
         ThreeChoices({Enable(1, 2)}, 0b001),
         {1},
         20,
         {"[p0|p2]", "p5", "end"},
         {}},
        {"disable of choice 16 or above changes no choice",
         ThreeChoices({Disable(1, 16)}, 0b111),
         {2},
         20,
         {"[p0|p1|p2]", "p5", "end"},
         {}},
        {"notify tells the script once and waits",
         {Phrase(0), Notify(12), Phrase(1), End()},
         {},
         20,
         {"p0", "notify 12", "p1", "end"},
         {12}},
        {"a dialogue may begin with a notification",
         {Notify(3), Phrase(0), End()},
         {},
         20,
         {"notify 3", "p0", "end"},
         {3}},
        {"a cycle says one block per visit and wraps",
         {Cycle(2), Phrase(0), EndBlock(), Phrase(1), EndBlock(), Phrase(2), Goto(0)},
         {},
         6,
         {"p0", "p2", "p1", "p2", "p0", "p2"},
         {}},
        {"a cycle block may hold several phrases",
         {Cycle(2), Phrase(0), Phrase(1), EndBlock(), Phrase(2), EndBlock(), Phrase(3), Goto(0)},
         {},
         6,
         {"p0", "p1", "p3", "p2", "p3", "p0"},
         {}},
    };
    for (const auto& c : cases) {
        Bench bench(c.code);
        ASSERT_TRUE(bench.Start()) << c.name;
        EXPECT_EQ(bench.Play(c.choices, c.maxStops), c.seen) << c.name;
        EXPECT_EQ(bench.notes, c.notes) << c.name;
        EXPECT_TRUE(bench.logs.empty()) << c.name << ": " << bench.logs.front();
    }
}

TEST(DialogueOpcodes, TheEndStaysTheEnd) {
    Bench bench({Phrase(0), End(), Phrase(1)});
    bench.Start();
    EXPECT_EQ(bench.Play(), (std::vector<std::string>{"p0", "end"}));
    bench.machine.Run(-1);
    EXPECT_EQ(bench.machine.Classify(), DialogueStop::End);
    EXPECT_EQ(bench.machine.InstructionPointer(), 1);
}

TEST(DialogueMenus, VisibleChoiceNumbersCountEnabledChoicesOnly) {
    // Four choices, 0 and 1 off: visible choice 0 is absolute choice 2.
    const std::vector<uint32_t> code = {
        Menu(4, 0b1100), Phrase(0),  EndBlock(), Phrase(1), EndBlock(), Phrase(2), EndBlock(),
        Phrase(3),       EndBlock(), Goto(13),   Goto(15),  Goto(17),   Goto(19),  Phrase(4),
        End(),           Phrase(5),  End(),      Phrase(6), End(),      Phrase(7), End()};
    for (int visible : {0, 1}) {
        Bench bench(code);
        bench.Start();
        ASSERT_EQ(bench.machine.Classify(), DialogueStop::Menu);
        EXPECT_EQ(bench.machine.CountChoices(), 2);
        ASSERT_NE(bench.machine.GetPhrase(0), nullptr);
        EXPECT_EQ(bench.machine.GetPhrase(0)->text, "p2");
        EXPECT_EQ(bench.machine.GetPhrase(1)->text, "p3");
        EXPECT_EQ(bench.machine.GetPhrase(1)->SoundName(), "s3.wav");
        EXPECT_EQ(bench.machine.GetPhrase(1)->speakerId, 103);
        EXPECT_EQ(bench.machine.GetPhrase(2), nullptr);
        EXPECT_EQ(bench.machine.GetPhrase(-1), nullptr);
        EXPECT_EQ(bench.machine.InstructionPointer(), 0); // asking moves nothing
        bench.machine.Run(visible);
        ASSERT_EQ(bench.machine.Classify(), DialogueStop::Phrase);
        EXPECT_EQ(bench.machine.GetPhrase(-1)->text, visible == 0 ? "p6" : "p7");
    }
}

TEST(DialogueMenus, AChoiceBlockMayLeadToItsTextWithAGoto) {
    // Choice 0's block jumps to its text elsewhere; the pointer comes back to the menu.
    Bench bench({Menu(2, 0b11), Goto(8), EndBlock(), Phrase(1), EndBlock(), Goto(9), Goto(9), End(),
                 Phrase(0), Phrase(2), End()});
    bench.Start();
    ASSERT_EQ(bench.machine.Classify(), DialogueStop::Menu);
    ASSERT_NE(bench.machine.GetPhrase(0), nullptr);
    EXPECT_EQ(bench.machine.GetPhrase(0)->text, "p0");
    EXPECT_EQ(bench.machine.InstructionPointer(), 0);
    EXPECT_EQ(bench.Play({1}), (std::vector<std::string>{"[p0|p1]", "p2", "end"}));
}

TEST(DialogueMenus, PruneSwitchesOffChoicesThatLeadOnlyToEmptiedMenus) {
    // Menu A (word 0): p0 leads to menu B, p1 to the farewell. Menu B (word 8): each of its
    // choices switches itself off; the last one leaves B empty, so A's way to it goes too.
    const std::vector<uint32_t> code = {
        Menu(2, 0b11), Phrase(0),     EndBlock(),    Phrase(1), EndBlock(),    Goto(8),
        Goto(21),      End(),         Menu(2, 0b11), Phrase(2), EndBlock(),    Phrase(3),
        EndBlock(),    Goto(15),      Goto(18),      Phrase(4), Disable(8, 0), Goto(8),
        Phrase(5),     Disable(8, 1), Goto(0),       Phrase(6), End()};
    Bench bench(code);
    bench.Start();
    EXPECT_EQ(bench.Play({0, 0}),
              (std::vector<std::string>{"[p0|p1]", "[p2|p3]", "p4", "p5", "p6", "end"}));
    EXPECT_FALSE(MenuChoiceEnabled(bench.machine.Code()[0], 0));
    EXPECT_TRUE(MenuChoiceEnabled(bench.machine.Code()[0], 1));
    EXPECT_EQ(MenuEnabledCount(bench.machine.Code()[8]), 0);
}

TEST(DialogueMenus, PruneEndsOnMenusThatLeadToEachOther) {
    // A's choice leads to B, B's choices lead back to A's word and to B itself.
    const std::vector<uint32_t> code = {Menu(1, 0b1),  Phrase(0), EndBlock(), Goto(4),
                                        Menu(2, 0b11), Phrase(1), EndBlock(), Phrase(2),
                                        EndBlock(),    Goto(0),   Goto(4),    End()};
    Bench bench(code);
    EXPECT_TRUE(bench.machine.Prune(0));
    EXPECT_TRUE(bench.machine.Prune(4));
    EXPECT_EQ(CodeOf(bench.machine), code);
}

TEST(DialogueMenus, ScanForFollowsForwardGotosOnly) {
    Bench bench({Nop(), Goto(4), Menu(0, 0), End(), Nop(), Menu(0, 0), Goto(2), Menu(0, 0)});
    const struct {
        int from;
        uint8_t opcode;
        std::optional<int> found;
    } cases[] = {
        {0, dialogue_op::kMenu, 5},
        {2, dialogue_op::kMenu, 2},
        {6, dialogue_op::kMenu, std::nullopt},
        {3, dialogue_op::kMenu, std::nullopt},
        {0, dialogue_op::kEnd, std::nullopt},
        {99, dialogue_op::kMenu, std::nullopt},
        {-1, dialogue_op::kMenu, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bench.machine.ScanFor(c.from, c.opcode), c.found) << c.from;
}

TEST(DialogueState, CyclePositionsSurviveSavingAndLoading) {
    const std::vector<uint32_t> code = {Cycle(3),   Phrase(0), EndBlock(), Phrase(1),
                                        EndBlock(), Phrase(2), EndBlock(), Goto(0)};
    Bench played(code);
    played.Start();
    EXPECT_EQ(played.Play({}, 2), (std::vector<std::string>{"p0", "p1"}));
    const std::vector<uint8_t> saved = SavedState(played.machine);
    ASSERT_EQ(saved.size(), 4 + 4 * code.size());

    Bench restored(code);
    platform::ByteReader in(saved);
    EXPECT_EQ(restored.machine.LoadState(&in), DialogueStateLoad::Loaded);
    EXPECT_TRUE(in.AtEnd());
    restored.Start();
    EXPECT_EQ(restored.Play({}, 2), (std::vector<std::string>{"p2", "p0"}));
}

TEST(DialogueState, SwitchedOffChoicesStayOffAfterLoading) {
    // Choice p0 switches itself off and goes back to the menu.
    const std::vector<uint32_t> code = {
        Menu(3, 0b111), Phrase(0), EndBlock(), Phrase(1), EndBlock(), Phrase(2),
        EndBlock(),     Goto(10),  Goto(13),   Goto(15),  Phrase(3),  Disable(0, 0),
        Goto(0),        Phrase(4), End(),      Phrase(5), End()};
    Bench played(code);
    played.Start();
    EXPECT_EQ(played.Play({0}, 3), (std::vector<std::string>{"[p0|p1|p2]", "p3", "[p1|p2]"}));
    const std::vector<uint8_t> saved = SavedState(played.machine);

    Bench restored(code);
    platform::ByteReader in(saved);
    ASSERT_EQ(restored.machine.LoadState(&in), DialogueStateLoad::Loaded);
    restored.Start();
    EXPECT_EQ(restored.Play({1}), (std::vector<std::string>{"[p1|p2]", "p5", "end"}));
}

// A new game: choices switched off, a cycle moved on and a loaded save are all undone, and
// a conversation under way is forgotten.
TEST(DialogueState, ResetCodeGivesBackTheCodeAsLoaded) {
    const std::vector<uint32_t> code = {
        Menu(3, 0b111), Phrase(0), EndBlock(), Phrase(1),  EndBlock(),    Phrase(2),  EndBlock(),
        Goto(10),       Goto(13),  Goto(15),   Phrase(5),  Disable(0, 0), Goto(0),    Phrase(6),
        End(),          Cycle(2),  Phrase(3),  EndBlock(), Phrase(4),     EndBlock(), End()};
    const auto codeNow = [](const Bench& b) {
        return std::vector<uint32_t>(b.machine.Code().begin(), b.machine.Code().end());
    };
    Bench bench(code, 12, {0, 15});
    bench.Start(0);
    EXPECT_EQ(bench.Play({0}, 3), (std::vector<std::string>{"[p0|p1|p2]", "p5", "[p1|p2]"}));
    bench.Start(1);
    EXPECT_EQ(bench.Play({}, 1), (std::vector<std::string>{"p3"}));
    ASSERT_NE(codeNow(bench), code);
    bench.Start(0);
    bench.machine.ResetCode();
    EXPECT_FALSE(bench.machine.InstructionPointer().has_value());
    EXPECT_EQ(codeNow(bench), code);
    bench.Start(0);
    EXPECT_EQ(bench.Play({}, 1), (std::vector<std::string>{"[p0|p1|p2]"}));
    bench.Start(1);
    EXPECT_EQ(bench.Play({}, 1), (std::vector<std::string>{"p3"}));

    // Also after a saved code was loaded over it.
    platform::ByteWriter stream;
    stream.I32(static_cast<int32_t>(code.size()));
    for (size_t i = 0; i < code.size(); ++i)
        stream.U32(kDialogueEndWord);
    platform::ByteReader in(stream.Data());
    ASSERT_EQ(bench.machine.LoadState(&in), DialogueStateLoad::Loaded);
    bench.machine.ResetCode();
    EXPECT_EQ(codeNow(bench), code);
}

TEST(DialogueState, ABlockThatDoesNotFitIsRefusedAndTheStreamReadsOn) {
    constexpr uint32_t kAfter = 0xC0FFEE;
    const struct {
        const char* name;
        std::vector<int32_t> fields; // the stream: size, words..., then kAfter when it fits
        DialogueStateLoad result;
        bool after;
    } cases[] = {
        {"same size", {2, 0x07000001, 0x06000000}, DialogueStateLoad::Loaded, true},
        {"another size", {3, 1, 2, 3}, DialogueStateLoad::SizeMismatch, true},
        {"no words", {0}, DialogueStateLoad::SizeMismatch, true},
        {"cut short", {2, 0x07000001}, DialogueStateLoad::Truncated, false},
        {"negative size", {-1}, DialogueStateLoad::Truncated, false},
        {"huge size", {0x7fffffff, 1}, DialogueStateLoad::Truncated, false},
    };
    const std::vector<uint32_t> code = {Phrase(0), End()};
    for (const auto& c : cases) {
        Bench bench(code);
        platform::ByteWriter stream;
        for (int32_t field : c.fields)
            stream.I32(field);
        if (c.after) stream.U32(kAfter);
        platform::ByteReader in(stream.Data());
        EXPECT_EQ(bench.machine.LoadState(&in), c.result) << c.name;
        const std::vector<uint32_t> expected = c.result == DialogueStateLoad::Loaded
                                                   ? std::vector<uint32_t>{0x07000001, 0x06000000}
                                                   : code;
        EXPECT_EQ(CodeOf(bench.machine), expected) << c.name;
        if (c.after) {
            EXPECT_EQ(in.U32(), kAfter) << c.name;
        } else {
            EXPECT_TRUE(in.Failed()) << c.name;
        }
    }
    Bench bench(code);
    EXPECT_EQ(bench.machine.LoadState(nullptr), DialogueStateLoad::NoStream);
    bench.machine.SaveState(nullptr); // writes nothing, and does not fail
}
