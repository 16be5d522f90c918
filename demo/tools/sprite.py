#!/usr/bin/env python3
"""Renders the frames of a sprite (an object's animation) from one SVG template.

    sprite.py RSVG TEMPLATE.svg OUTDIR NAME COUNT [--helpers FILE.py] [VAR=EXPR]...

writes OUTDIR/NAME_01.png .. OUTDIR/NAME_<COUNT>.png, the COUNT frames of the template.

The template is a plain SVG with a transparent background. Inside it, {{EXPR}} is replaced per
frame by the value of a Python expression over k (the frame, 0 .. COUNT-1), n (COUNT), the
functions of the math module, pick(a, b, ...) (the k-th argument, cycling) and the VARs given
on the command line, each an expression over the same names evaluated per frame. So one lamp
template serves both its flicker and its steady glow, and one sign template both its versions.
A still picture is rendered with COUNT 1.

--helpers FILE.py runs that Python file for every frame after the VARs are set, with the same
names; the functions it defines can be called in the template (gait.py gives the characters'
walk: where their feet, legs and arms are in each frame).

embed(PATH, x=0, y=0, size=None, frame=None, VAR=VALUE...) inside {{...}} draws another
template (PATH relative to this one) in place, rendered with the VARs given for the same frame
(or for frame `frame`, from 0): as a nested <svg> at (x, y), scaled to `size` pixels wide if
given. So the action menu shows the cursor pictures themselves, and the inventory case and its
button highlights share one drawing of the buttons.

Animations keep only fully opaque or fully transparent pixels: the game draws them with a
colour key (palette index 0), not with an alpha channel. So the art is wrapped in a filter that
rounds every pixel's coverage to 0 or 1, and laid over pure magenta (#FF00FF), which the
animation encoder turns into the transparent index. Edges stay smooth inside the art and come
out as clean steps at its outline, without a pink fringe.
"""
import math
import os
import re
import subprocess
import sys

EXPRESSION = re.compile(r"\{\{(.*?)\}\}", re.S)
ROOT = re.compile(r"<svg\b[^>]*>", re.S)


def size_of(root_tag):
    sizes = []
    for name in ("width", "height"):
        found = re.search(r'\b%s="(\d+)"' % name, root_tag)
        if not found:
            sys.exit("sprite.py: the <svg> element needs a whole-pixel %s" % name)
        sizes.append(int(found.group(1)))
    return sizes


def evaluate(template, k, n, variables, folder, helpers=None):
    names = {name: getattr(math, name) for name in dir(math) if not name.startswith("_")}
    names.update(k=k, n=n, int=int, round=round, min=min, max=max)
    names["pick"] = lambda *values: values[k % len(values)]
    names["embed"] = lambda path, x=0, y=0, size=None, frame=None, **given: embedded(
        os.path.join(folder, path), k if frame is None else frame, n, given, x, y, size)
    for name, expression in variables:
        names[name] = eval(expression, {"__builtins__": {}}, names)
    if helpers is not None:
        exec(helpers, names)

    def value(match):
        result = eval(match.group(1), {"__builtins__": {}}, names)
        return ("%.3f" % result).rstrip("0").rstrip(".") if isinstance(result, float) else str(result)

    return EXPRESSION.sub(value, template)


def embedded(path, k, n, given, x, y, size):
    """The template at `path` for frame k, as a nested <svg> placed at (x, y)."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    variables = [(name, repr(value)) for name, value in given.items()]
    svg = evaluate(text, k, n, variables, os.path.dirname(path))
    root = ROOT.search(svg)
    if not root:
        sys.exit("sprite.py: no <svg> element in %s" % path)
    width, height = size_of(root.group(0))
    scale = 1.0 if size is None else size / width
    if "viewBox" not in root.group(0):
        sys.exit("sprite.py: %s needs a viewBox to be embedded" % path)
    tag = re.sub(r'(?<![-\w])(width|height)="\d+"', "", root.group(0))
    tag = tag[:-1] + ' x="%g" y="%g" width="%g" height="%g">' % (x, y, width * scale, height * scale)
    return tag + svg[root.end() :]


def matted(svg):
    root = ROOT.search(svg)
    if not root:
        sys.exit("sprite.py: no <svg> element")
    width, height = size_of(root.group(0))
    matte = (
        '<defs><filter id="tarvoMatte" filterUnits="userSpaceOnUse" x="0" y="0" '
        'width="%d" height="%d" color-interpolation-filters="sRGB">'
        '<feComponentTransfer><feFuncA type="discrete" tableValues="0 1"/>'
        "</feComponentTransfer></filter></defs>"
        '<rect width="%d" height="%d" fill="#FF00FF"/><g filter="url(#tarvoMatte)">'
        % (width, height, width, height)
    )
    end = svg.rindex("</svg>")
    return svg[: root.end()] + matte + svg[root.end() : end] + "</g>" + svg[end:]


def main():
    if len(sys.argv) < 6:
        sys.exit(__doc__)
    rsvg, template_path, outdir, name, count = sys.argv[1:6]
    count = int(count)
    rest = sys.argv[6:]
    helpers = None
    if rest[:1] == ["--helpers"]:
        if len(rest) < 2:
            sys.exit("sprite.py: --helpers needs a file")
        with open(rest[1], encoding="utf-8") as f:
            helpers = compile(f.read(), rest[1], "exec")
        rest = rest[2:]
    variables = [argument.split("=", 1) for argument in rest]
    if any(len(variable) != 2 for variable in variables):
        sys.exit("sprite.py: variables are given as VAR=EXPR")
    with open(template_path, encoding="utf-8") as f:
        template = f.read()
    os.makedirs(outdir, exist_ok=True)
    for k in range(count):
        svg = matted(
            evaluate(template, k, count, variables, os.path.dirname(template_path), helpers))
        png = os.path.join(outdir, "%s_%02d.png" % (name, k + 1))
        subprocess.run([rsvg, "--format=png", "-o", png], input=svg.encode("utf-8"), check=True)


if __name__ == "__main__":
    main()
