#pragma once
// A conversation in the language authors write, compiled for the dialogue fuzz seeds.
#include "core/ScriptNames.h"
#include "dialogue/DialogueText.h"

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

} // namespace fuzz
