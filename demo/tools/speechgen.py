#!/usr/bin/env python3
"""Speaks the demo's recorded lines with espeak-ng and puts them into the engine's format.

    speechgen.py ESPEAK SOX TARVO_TOOL DIALOGUE.LOD SCRIPT VOICES OUTDIR FILE...

The lines come from the compiled conversation: `tarvo-tool dialogue lines` lists each speech
file with its speaker and text, so the words live only in the dialogue source. VOICES says
how each speaker sounds, one speaker a line ('#' starts a comment):

    SPEAKER  VOICE  PITCH  SPEED  [SOX EFFECTS...]

VOICE is an espeak-ng voice (a language and a variant, en-gb+m3), PITCH 0..99, SPEED in words
a minute; the effects are sox's, applied after the silence around the line is trimmed. Each
line becomes OUTDIR/FILE: 22,050 Hz, mono, 16-bit PCM. FILE... are the files the build
expects; the lines must name exactly those, so that the archive gets every recording.

espeak-ng synthesises the same samples every time, and sox runs in repeatable mode (-R)
without dither (-D), so the build makes the same bytes every time.
"""
import os
import shlex
import subprocess
import sys
import tempfile


def read_voices(path):
    voices = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            words = shlex.split(line, comments=True)
            if not words:
                continue
            if len(words) < 4:
                sys.exit("%s:%d: want SPEAKER VOICE PITCH SPEED [EFFECTS...]" % (path, number))
            speaker, voice, pitch, speed = words[:4]
            voices[speaker] = (voice, pitch, speed, words[4:])
    return voices


def read_lines(tool, lod, script):
    listing = subprocess.run([tool, "dialogue", "lines", lod, "--script", script], check=True,
                             capture_output=True, text=True, encoding="utf-8").stdout
    return [line.split("\t", 2) for line in listing.splitlines() if line]


def speak(espeak, sox, voice, text, out, work):
    name, pitch, speed, effects = voice
    text_file = os.path.join(work, "line.txt")
    raw = os.path.join(work, "raw.wav")
    with open(text_file, "w", encoding="utf-8") as f:
        f.write(text)
    subprocess.run([espeak, "-v", name, "-p", pitch, "-s", speed, "-f", text_file, "-w", raw],
                   check=True)
    # The synthesizer's own pauses before and after the words go; a short breath stays.
    trim = ["silence", "1", "0.02", "0.5%", "reverse", "silence", "1", "0.02", "0.5%", "reverse"]
    subprocess.run([sox, "-R", "-D", "-V1", raw, "-r", "22050", "-c", "1", "-b", "16", out]
                   + trim + effects + ["pad", "0.05", "0.15", "gain", "-n", "-3"], check=True)


def main():
    if len(sys.argv) < 8:
        sys.exit(__doc__)
    espeak, sox, tool, lod, script, voices_path, outdir = sys.argv[1:8]
    expected = set(sys.argv[8:])
    voices = read_voices(voices_path)
    lines = read_lines(tool, lod, script)
    named = {line[0] for line in lines}
    if named != expected:
        sys.exit("speechgen.py: the dialogue names speech files %s, the build expects %s"
                 % (sorted(named), sorted(expected)))
    os.makedirs(outdir, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        for file, speaker, text in lines:
            if speaker not in voices:
                sys.exit("speechgen.py: %s has no voice for %s (say %s)" % (voices_path, speaker, file))
            speak(espeak, sox, voices[speaker], text, os.path.join(outdir, file), work)


if __name__ == "__main__":
    main()
