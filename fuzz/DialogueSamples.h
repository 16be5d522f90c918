#pragma once
// A conversation in the language authors write, compiled for the dialogue fuzz seeds, and a
// conversation driven the way the dialogue interface drives it.
#include "core/ScriptNames.h"
#include "dialogue/DialogueMachine.h"
#include "dialogue/DialogueText.h"
#include "fuzz/FuzzTarget.h"

namespace fuzz {

inline DialogueFiles SampleConversation() {
    static const char* const kText = R"text(name Clockmaker = 7
object Clockmaker
  on TALK
    entry hello
  on OBJECTUSE any
    entry shown
hello:
  Clockmaker cm01.wav "Good day."
ask:
  menu
    choice Clockmaker t01.wav "Why are the clocks stopped?"
      Clockmaker cm02.wav "The tower clock is broken."
      goto ask
    choice key: Clockmaker t02.wav "Could we mend it?"
      notify 12
      disable
      enable tower
      goto ask
    choice tower: off Clockmaker t03.wav "Is the tower open?" -> ask
    choice quiet Clockmaker v01.wav "(Leave.)"
      end
  end
shown:
  cycle
    Clockmaker cm05.wav "A fine key."
    Clockmaker cm06.wav "Still a fine key."
  end
)text";
    DialogueFiles files;
    std::string error;
    DialogueFromText(kText, ScriptNames(nullptr), files, error);
    return files;
}

// Drives a started conversation for a few stops, taking the menus' choices in turn from
// `firstChoice` on; the instruction pointer must stay inside the code throughout.
inline void PlayConversation(DialogueMachine& machine, int firstChoice) {
    constexpr int kMaxStops = 40;
    for (int stop = 0; stop < kMaxStops; ++stop) {
        const DialogueStop at = machine.Classify();
        if (at == DialogueStop::End) return;
        if (at == DialogueStop::Menu) {
            const int choices = machine.CountChoices();
            for (int i = -1; i <= choices; ++i)
                machine.GetPhrase(i);
            machine.Run((firstChoice + stop) % (choices + 1));
        } else {
            machine.GetPhrase(-1);
            machine.Run(-1);
        }
        const auto ip = machine.InstructionPointer();
        Require(!ip || (*ip >= 0 && size_t(*ip) < machine.Code().size()),
                "the pointer stays inside the code");
    }
}

} // namespace fuzz
