// Broken bytecode ends the conversation with the error log, never with a crash or a hang;
// and the lookup of which dialogue an object and a message start.
#include <gtest/gtest.h>

#include "core/MessageTypes.h"
#include "dialogue/DialogueCode.h"

using namespace dialogue_test;

namespace {

uint32_t UseKey(uint16_t senderId) {
    return OBJECTUSE + 65536u * senderId;
}

} // namespace

TEST(DialogueErrors, BrokenCodeWritesTheLogAndEndsTheConversation) {
    const struct {
        const char* name;
        std::vector<uint32_t> code;
        std::vector<int32_t> entries;
        std::string lines; // the opening and position lines of the log
    } cases[] = {
        {"goto beyond the code",
         {Goto(0x63), End()},
         {0},
         "Error: ip is set outside code seg\nip=0000h newip=0063h codesize=0002h\n"},
        {"running off the end of the code",
         {Phrase(0)},
         {0},
         "Error: ip moves outside code seg\nip=0000h ip+off=0001h codesize=0001h\n"},
        {"an endblock with no menu or cycle before it",
         {EndBlock(), End()},
         {0},
         "Error: ip moves outside code seg\nip=0000h ip+off=ffffffffh codesize=0002h\n"},
        {"a menu with more choices than blocks",
         {Menu(3, 0b111), Phrase(0), EndBlock()},
         {0},
         "Error: ip moves outside code seg\nip=0002h ip+off=0003h codesize=0003h\n"},
        {"a goto onto itself",
         {Goto(0)},
         {0},
         "Error: dialogue runs without reaching a stop\nip=0000h codesize=0001h\n"},
        {"a single-choice menu leading back to itself",
         {Menu(1, 1), Phrase(0), EndBlock(), Goto(0)},
         {0},
         "Error: dialogue runs without reaching a stop\nip=0000h codesize=0004h\n"},
        {"a choice switch naming no menu",
         {Disable(1, 0), Phrase(0), End()},
         {0},
         "Error: choice switch names no menu\nip=0000h menu=0001h codesize=0003h\n"},
        {"an entry outside the code",
         {End()},
         {5},
         "Error: ip is set outside code seg\nip=0000h newip=0005h codesize=0001h\n"},
    };
    for (const auto& c : cases) {
        Bench bench(c.code, 12, c.entries);
        bench.Start();
        std::vector<std::string> seen = bench.Play({0, 0, 0});
        EXPECT_EQ(seen.back(), "end") << c.name;
        ASSERT_EQ(bench.logs.size(), 1u) << c.name;
        EXPECT_EQ(bench.logs[0].substr(0, c.lines.size()), c.lines) << c.name;
        EXPECT_EQ(bench.machine.Code()[0], kDialogueEndWord) << c.name;
        EXPECT_EQ(bench.machine.InstructionPointer(), 0) << c.name;
        // The same dialogue started again ends at once: word 0 stays an end.
        bench.Start();
        if (c.entries[0] == 0) {
            EXPECT_EQ(bench.machine.Classify(), DialogueStop::End) << c.name;
        }
    }
}

TEST(DialogueErrors, TheLogShowsTheWordAndItsDisassembly) {
    Bench jump({Nop(), Goto(0x63), End()});
    jump.Start();
    EXPECT_EQ(jump.machine.Classify(), DialogueStop::End);
    ASSERT_EQ(jump.logs.size(), 1u);
    EXPECT_EQ(jump.logs[0], "Error: ip is set outside code seg\n"
                            "ip=0001h newip=0063h codesize=0003h\n"
                            "*ip=03000063h\n"
                            "DisAssembled *ip:\n"
                            "goto 0063h\n"
                            "\n"
                            "Terminating dialogue.");

    Bench last({Phrase(4)});
    last.Start();
    last.machine.Classify();
    last.machine.Run(-1);
    ASSERT_EQ(last.logs.size(), 1u);
    EXPECT_EQ(last.logs[0], "Error: ip moves outside code seg\n"
                            "ip=0000h ip+off=0001h codesize=0001h\n"
                            "*ip=07000004h\n"
                            "DisAssembled *ip:\n"
                            "104: p4\n"
                            "Terminating dialogue.");
}

TEST(DialogueErrors, DegenerateBlocksEndWithoutHanging) {
    const std::vector<uint32_t> programs[] = {
        {Cycle(0), End()},
        {Cycle(2, 7), Phrase(0), EndBlock(), Phrase(1), EndBlock(), End()},
        {Menu(0, 0), End()},
        {Menu(20, 0xFFFF), Phrase(0), EndBlock()},
        {Op(dialogue_op::kCycle, 0x00FF0000), EndBlock()},
    };
    for (const auto& code : programs) {
        Bench bench(code);
        bench.Start();
        EXPECT_EQ(bench.Play({0, 5, 19}, 50).back(), "end");
    }
}

TEST(DialogueErrors, DescribeWordForTheLog) {
    Bench bench({End()});
    std::vector<DialoguePhrase> phrases = Phrases(2);
    phrases[1].text = std::string(600, 'x');
    bench.machine.SetPhrases(phrases);
    EXPECT_EQ(bench.machine.DescribeWord(Goto(0x12)), "goto 0012h\n");
    EXPECT_EQ(bench.machine.DescribeWord(Phrase(0)), "100: p0");
    const std::string longLine = bench.machine.DescribeWord(Phrase(1));
    EXPECT_EQ(longLine.size(), 499u); // with its NUL, the line fills the 500 bytes
    EXPECT_EQ(longLine.substr(0, 7), "101: xx");
    EXPECT_EQ(bench.machine.DescribeWord(Phrase(9)), "code 7000009h is not disassembled yet\n");
    EXPECT_EQ(bench.machine.DescribeWord(Op(0x0A, 1)), "code a000001h is not disassembled yet\n");
}

TEST(DialogueLookup, HandlersAreFoundInRuleOrder) {
    // Each handler's default entry tells which it is.
    auto handler = [](uint32_t type, int32_t tag) {
        return DialogueHandler{static_cast<int32_t>(type), tag, 0, {}};
    };
    DialogueTables tables;
    tables.objects = {
        {7,
         0,
         {handler(TALK, 1), handler(UseKey(5), 2), handler(kDialogueAnyObjectUse, 3),
          handler(END, 4), handler(HALF, 5)}},
        {kDialogueAnyObject, 0, {handler(LOOK, 6), handler(TALK, 7), handler(UseKey(9), 8)}},
        {7, 0, {handler(USE, 9)}},
    };
    const DialogueMachine machine(tables);
    const struct {
        uint16_t object;
        uint32_t key;
        int tag; // 0: none
        bool wildcard;
    } cases[] = {
        {7, TALK, 1, false},                                // the object's own handler
        {7, END, 0, false},                                 // END and HALF never start a dialogue
        {7, HALF, 0, false},      {7, UseKey(5), 2, false}, // this item on this object
        {7, UseKey(9), 3, true},                      // any item on this object before any object
        {8, UseKey(9), 8, true},                      // this item on any object
        {8, UseKey(5), 0, false}, {7, LOOK, 6, true}, // any object
        {8, TALK, 7, true},       {7, USE, 9, false}, // a later record of the same object
        {8, USE, 0, false},
    };
    for (const auto& c : cases) {
        bool wildcard = !c.wildcard;
        const DialogueHandler* found = machine.FindDialogue(c.object, c.key, wildcard);
        EXPECT_EQ(found ? found->defaultEntry : 0, c.tag) << c.object << " " << c.key;
        if (found) {
            EXPECT_EQ(wildcard, c.wildcard) << c.object << " " << c.key;
        }
    }
}

TEST(DialogueLookup, StartTakesTheEntryAskedForOrTheDefault) {
    DialogueTables tables =
        OneDialogue({Phrase(0), End(), Phrase(1), End(), Phrase(2), End()}, {0, 2, 4});
    tables.objects[0].handlers[0].defaultEntry = 1;
    Bench bench({});
    const struct {
        int entry;
        int ip;
    } cases[] = {{-1, 2}, {0, 0}, {2, 4}, {3, 2}, {100, 2}};
    for (const auto& c : cases) {
        DialogueMachine machine(tables);
        EXPECT_TRUE(machine.Start(kPartner, kTalk, c.entry));
        EXPECT_EQ(machine.InstructionPointer(), c.ip) << c.entry;
        EXPECT_EQ(machine.Entry(), c.ip) << c.entry;
    }
    DialogueMachine machine(tables);
    EXPECT_FALSE(machine.Start(kPartner, LOOK, -1)); // no such dialogue: nothing moves
    EXPECT_FALSE(machine.InstructionPointer());
    EXPECT_EQ(machine.Classify(), DialogueStop::End);

    tables.objects[0].handlers[0].defaultEntry = 3;
    Bench broken({Phrase(0), End()});
    broken.machine = DialogueMachine(tables);
    DialogueHooks hooks;
    hooks.errorLog = [&](const std::string& text) { broken.logs.push_back(text); };
    broken.machine.SetHooks(hooks);
    broken.machine.Start(kPartner, kTalk, -1);
    ASSERT_EQ(broken.logs.size(), 1u);
    EXPECT_EQ(
        broken.logs[0].rfind("Error: the dialogue has no entry 3\nentries=3 codesize=0006h\n", 0),
        0u)
        << broken.logs[0];
    EXPECT_EQ(broken.machine.Classify(), DialogueStop::End);
}
