#!/usr/bin/env python3
"""Synthesises a demo sound from a text recipe with sox.

    soundgen.py SOX RECIPE.txt OUT.WAV

A recipe is a list of layers that sox makes and mixes into one mono 16-bit file. One
statement per line; '#' at the start of a word starts a comment:

    rate 22050            samples per second
    length 10             seconds
    tail 2                seconds of the events that ring on past the end; they are laid over
                          the start, so that the sound loops without a seam (default 0)
    bed ARGS...           a layer the whole length: `synth LENGTH ARGS...`, for example
                          `bed pinknoise lowpass 300 gain -6`
    at T D ARGS...        an event of D seconds starting T seconds in: `synth D ARGS...`
    tempo BPM             beats per minute for the notes lines
    notes BEAT RING INSTRUMENT... | NOTE:BEATS ...
                          a line of notes from beat BEAT (counted from 0) on: each note is an
                          event as long as its beats plus RING seconds, made by INSTRUMENT with
                          {hz} replaced by the note's frequency and {len} by its length; NOTE is
                          a name such as C4 or F#3, or r for a rest
    events EFFECTS...     sox effects on the mix of all events (before the tail is laid over)
    master EFFECTS...     sox effects on the final mix

Every sox call runs in repeatable mode (-R) without dither (-D), so the build makes the same
bytes every time.
"""
import os
import re
import shlex
import subprocess
import sys
import tempfile

# '#' starts a comment only at the start of a word: F#3 is a note.
COMMENT = re.compile(r"(^|\s)#.*")
NOTE_STEPS = {"C": -9, "D": -7, "E": -5, "F": -4, "G": -2, "A": 0, "B": 2}


def note_hz(name):
    letter, rest = name[0].upper(), name[1:]
    if letter not in NOTE_STEPS:
        raise ValueError("not a note: " + name)
    step = NOTE_STEPS[letter]
    while rest and rest[0] in "#b":
        step += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    octave = int(rest)
    return 440.0 * 2 ** ((step + 12 * (octave - 4)) / 12)


class Recipe:
    def __init__(self):
        self.rate, self.length, self.tail, self.tempo = 22050, 1.0, 0.0, 120.0
        self.beds, self.events = [], []  # beds: args; events: (start, duration, args)
        self.event_effects, self.master = [], []

    def statement(self, words):
        keyword, args = words[0], words[1:]
        if keyword in ("rate", "length", "tail", "tempo"):
            setattr(self, keyword, float(args[0]) if keyword != "rate" else int(args[0]))
        elif keyword == "bed":
            self.beds.append(args)
        elif keyword == "at":
            self.events.append((float(args[0]), float(args[1]), args[2:]))
        elif keyword == "notes":
            self.notes(args)
        elif keyword == "events":
            self.event_effects += args
        elif keyword == "master":
            self.master += args
        else:
            raise ValueError("unknown statement " + keyword)

    def notes(self, args):
        bar = args.index("|")
        beat, ring, instrument = float(args[0]), float(args[1]), args[2:bar]
        seconds_per_beat = 60.0 / self.tempo
        for token in args[bar + 1:]:
            name, beats = token.split(":")
            if name != "r":
                length = float(beats) * seconds_per_beat + ring
                fields = {"hz": "%.3f" % note_hz(name), "len": "%.3f" % length}
                made = [word.format(**fields) for word in instrument]
                self.events.append((beat * seconds_per_beat, length, made))
            beat += float(beats)


def read_recipe(path):
    recipe = Recipe()
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            words = shlex.split(COMMENT.sub("", line))
            if not words:
                continue
            try:
                recipe.statement(words)
            except (ValueError, IndexError) as e:
                sys.exit("%s:%d: %s" % (path, number, e))
    return recipe


def main():
    sox, recipe_path, out = sys.argv[1:4]
    recipe = read_recipe(recipe_path)
    fmt = ["-r", str(recipe.rate), "-c", "1", "-b", "16"]

    def run(*args):
        subprocess.run([sox, "-R", "-D", "-V1"] + [str(a) for a in args], check=True)

    def mix(inputs, output, effects):
        if len(inputs) == 1:
            run(inputs[0], *fmt, output, *effects)
        else:
            volumed = [word for name in inputs for word in ("-v", "1", name)]
            run("-m", *volumed, *fmt, output, *effects)

    with tempfile.TemporaryDirectory() as work:
        layers = []
        for i, args in enumerate(recipe.beds):
            layers.append(os.path.join(work, "bed%d.wav" % i))
            run("-n", *fmt, layers[-1], "synth", recipe.length, *args)
        if recipe.events:
            parts = []
            for i, (start, duration, args) in enumerate(recipe.events):
                parts.append(os.path.join(work, "event%d.wav" % i))
                run("-n", *fmt, parts[-1], "synth", duration, *args, "pad", start)
            span = recipe.length + recipe.tail
            events = os.path.join(work, "events.wav")
            mix(parts, events, recipe.event_effects + ["pad", "0", span, "trim", "0", span])
            if recipe.tail > 0:
                head, tail = os.path.join(work, "head.wav"), os.path.join(work, "tail.wav")
                run(events, head, "trim", "0", recipe.length)
                run(events, tail, "trim", recipe.length)
                events = os.path.join(work, "looped.wav")
                mix([head, tail], events, [])
            layers.append(events)
        mix(layers, out, recipe.master + ["trim", "0", recipe.length])


if __name__ == "__main__":
    main()
