#!/usr/bin/env python3
"""The walk of the demo's characters: where the feet, legs, arms and body are in each frame of
a walk cycle, and the step tables that tell the engine how far each frame carries the feet.

Both come from the same numbers, so that the feet the pictures show stand still on the floor
while the engine moves the character: a planted foot slides back inside the frame by exactly
the distance the engine moves the frame forward.

As helpers of sprite.py (`sprite.py ... --helpers gait.py VAR=...`) this file is run for every
frame with k (the frame, 0..n-1), n (the frame count) and these variables set:

    vx, vy   how far one frame carries the character, in pixels (vx * n and vy * n whole
             numbers, so that the cycle closes); drawn walking right when vx > 0
    ax, ay   the anchor: the point of the frame that stands on the floor
    lx, ly   where foot 0 stands beside the anchor (foot 1 stands on the other side)
    lift     how high a swinging foot rises
    bounce   how far the body rises in mid-step
    swing    how far the arms swing, in degrees
    bx, by   which way the knees bend (a unit vector; 0 0 for knees that point at the viewer)
    thigh    the length of a leg from hip to ankle when bent at its most

and provides foot(), ankle(), leg(), boot(), body() and arm() for the template's {{...}}.

As a program it writes the step tables of one direction in the text form `tarvo-tool cycle
build` reads:

    gait.py tables OUT FRAMES VX VY AX AY FLIP

writes OUT.off.txt (the motion into each frame) and OUT.leg.txt (the anchor of each frame);
FLIP 1 mirrors a cycle drawn walking right into one walking left, as the template does.
"""
import math
import sys

ANKLE = 9  # the ankle above the floor
SOLE = 3  # the soles stand this far above the anchor row, as in the standing pictures


def _position(j, vx, vy):
    """Where the character is after j frames, in whole pixels: what the step tables say."""
    return (math.floor(vx * j + 0.5), math.floor(vy * j + 0.5))


def _foot(s, k, n, vx, vy, ax, ay, lx, ly, lift):
    half = n // 2
    start = s * half  # foot 0 lands at frame 0, foot 1 half a cycle later
    j = (k - start) % n
    a, b = _position(start, vx, vy), _position(start + half, vx, vy)
    reach = ((b[0] - a[0]) / 2, (b[1] - a[1]) / 2)  # where it lands, from the anchor
    side = (lx, ly) if s == 0 else (-lx, -ly)
    if j <= half:
        # On the floor: it goes back by exactly what the engine moves the frame forward.
        now = _position(start + j, vx, vy)
        x, y, h = reach[0] - (now[0] - a[0]), reach[1] - (now[1] - a[1]), 0.0
    else:
        t = (j - half) / (n - half)
        e = t * t * (3 - 2 * t)
        x, y = -reach[0] + 2 * reach[0] * e, -reach[1] + 2 * reach[1] * e
        h = lift * math.sin(math.pi * t)
    return (ax + side[0] + x, ay + side[1] + y, h)


def foot(s):
    """Foot s (0 or 1): where its sole meets the floor (x, y) and how high it is lifted."""
    g = globals()
    return _foot(s, g["k"], g["n"], vx, vy, ax, ay, lx, ly, lift)


def phase(s):
    """How far foot s is through its step, 0..1 (0: it has just landed in front)."""
    return ((k - s * (n // 2)) % n) / n


def body():
    """How far the body is raised in this frame (negative: up): highest in mid-step."""
    return -bounce * math.sin(2 * math.pi * k / n) ** 2


def arm(s):
    """The rotation, in degrees, of the arm on the side of foot s: back while that foot is in
    front, forward while it is behind (clockwise turns the hand backwards for a walk to the
    right)."""
    return swing * math.cos(2 * math.pi * phase(s))


def ankle(s):
    x, y, h = foot(s)
    return (x, y - SOLE - ANKLE - h)


def leg(s, hx, hy):
    """The path of leg s from the hip (hx, hy) (raised with the body) through the knee to the
    ankle: straight when stretched, bent towards (bx, by) otherwise."""
    hy += body()
    fx, fy = ankle(s)
    d = math.hypot(fx - hx, fy - hy)
    bend = math.sqrt(max(0.0, (thigh / 2) ** 2 - (d / 2) ** 2))
    kx, ky = (hx + fx) / 2 + bx * bend, (hy + fy) / 2 + by * bend
    return "M%.2f %.2f L%.2f %.2f L%.2f %.2f" % (hx, hy, kx, ky, fx, fy)


def boot(s):
    """A transform putting a boot drawn with its sole's middle at (0, 0) under foot s, its toe
    dipping a little while it swings."""
    x, y, h = foot(s)
    tilt = 12 * math.sin(math.pi * max(0.0, phase(s) - 0.5) * 2) if h > 0 else 0.0
    return "translate(%.2f %.2f) rotate(%.2f)" % (x, y - SOLE - h, tilt)


def tables(out, frames, vx, vy, ax, ay, flip):
    sign = -1 if flip else 1
    n = frames
    motion = []
    for j in range(1, n + 1):
        a, b = _position(j, vx, vy), _position(j - 1, vx, vy)
        motion.append((sign * (a[0] - b[0]), a[1] - b[1]))
    # Record 0 is the step back into the first frame, the same as the last one.
    with open(out + ".off.txt", "w") as f:
        f.write("# how far the picture moves into each frame\nheader 0\n")
        for x, y in [motion[-1]] + motion:
            f.write("step %d %d\n" % (x, y))
    with open(out + ".leg.txt", "w") as f:
        f.write("# where the feet are inside each frame\nheader 0\n")
        for _ in range(n + 1):
            f.write("step %d %d\n" % (ax, ay))


def main():
    if len(sys.argv) != 9 or sys.argv[1] != "tables":
        sys.exit(__doc__)
    out, frames = sys.argv[2], int(sys.argv[3])
    vx, vy, ax, ay = (float(v) for v in sys.argv[4:8])
    if (vx * frames) % 1 or (vy * frames) % 1:
        sys.exit("gait.py: VX and VY times FRAMES must be whole pixels, or the cycle drifts")
    tables(out, frames, vx, vy, int(ax), int(ay), sys.argv[8] == "1")


if __name__ == "__main__":
    main()
