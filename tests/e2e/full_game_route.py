#!/usr/bin/env python3
"""The full-game test's route and its judge of the screen. "steps" prints the predicted score and
the steps ("move KEY TICKS", "volley MOUSE_X MOUSE_Y TICKS"); full_game.demo is this route as the
game recorded it, and the demo test plays it to the score scene. "serve FOLDER" answers each input line: "still" with the count of the window's
16 x 16 blocks that change in 0.1 s; "menu", "game" or "scene" with "ok" or the faults of a screen
dump kept in FOLDER, trying for up to 6 s."""

import struct
import subprocess
import sys
import time

KEY_CODES = {"w": 87, "a": 65, "s": 83, "d": 68}

# ("move", key, ticks held, where a wall stops the player) or ("volley", mouse x, mouse y, ticks
# held, enemy slot, player position). Walks take about 2/3 of their holds. The player stands at
# (400, 300) on the screen; a shot leaves on the first tick of the button and every 21 after it.
ROUTE = [("move", "s", 145, (224, 416)), ("volley", 600, 300, 40, 1, (224, 416)),
         ("move", "d", 130, (482, 416)), ("move", "w", 160, (482, 95)),
         ("move", "d", 195, (866, 95)), ("volley", 400, 500, 40, 4, (866, 95)),
         ("move", "s", 160, (866, 416)), ("move", "a", 70, (734, 416)),
         ("move", "w", 70, (734, 287)), ("move", "a", 70, (605, 287)),
         ("move", "s", 130, (605, 545)), ("move", "d", 290, (1184, 545)),
         ("volley", 400, 100, 40, 5, (1184, 545))]
PREDICTED_SCORE = 6


def steps():
    """The route as the shell reads it, after the score it ends with."""
    print(f"predicted score {PREDICTED_SCORE}")
    for step in ROUTE:
        print(" ".join(map(str, step[:4] if step[0] == "volley" else step[:3])))


def dump(path):
    """The screen's pixel bytes, the bytes of a row and of a pixel (little-endian, red third)."""
    subprocess.run(f"xwd -root -silent >'{path}'", shell=True, check=True)
    data = open(path, "rb").read()
    header = struct.unpack(">25I", data[:100])
    assert header[7] == 0 and header[14] == 0xFF0000 and header[11] in (24, 32), header
    return data[header[0] + 12 * header[19]:], header[12], header[11] // 8


def judge(question, screen, row, size):
    """The faults of the window, the dump's top-left 800 x 600, for the question."""
    def red(x, y):
        return screen[y * row + x * size + 2]

    def lit(x0, y0, x1, y1, level=60):  # in an inclusive box
        return sum(red(x, y) > level for y in range(y0, y1 + 1) for x in range(x0, x1 + 1))

    def glyph(x0, y0, x1, y1):  # the lit pixels of a box, relative to their top-left corner
        points = [(x, y) for y in range(y0, y1 + 1) for x in range(x0, x1 + 1) if red(x, y) > 60]
        left, top = min((x for x, _ in points), default=0), min((y for _, y in points), default=0)
        return frozenset((x - left, y - top, red(x, y)) for x, y in points)

    if question == "game" and screen[400 * row + 600 * size:][:3] == bytes(3):
        return "no map at (600, 400)"
    dark = [x for y in range(152, 178) for x in range(112, 208) if red(x, y) < 26] or [0]
    # The first button is "Играть", 100 wide (not the 180 of "back_to_game"), with its black
    # label from x 130; nothing right of the buttons.
    if question == "menu" and (not red(150, 154) or red(250, 154) or lit(300, 0, 799, 599, 1) or
                               not (128 <= min(dark) <= 134 and min(dark) + 40 < max(dark) < 207)):
        return "not the menu with the Играть button"
    if question != "scene":
        return "ok"
    # "BEST_SCORE" from (320, 90), the button 110-290 x 210-240, the entries at x 350 on the
    # baselines 125 ... 350, "You_Score: N" from (320, 400), and nothing else.
    entries = [glyph(348, 100 + 25 * i - 17, 363, 100 + 25 * i + 2) for i in range(1, 11)]
    right = max((x for x in range(318, 600) for y in range(380, 407) if red(x, y) > 60), default=15)
    if lit(318, 68, 437, 95) < 60 or lit(318, 380, 517, 406) < 60 or not red(115, 211) or \
            not red(288, 238):
        return "no BEST_SCORE, You_Score line or button"
    if not all(entries) or len(set(entries[1:])) != 1 or entries[0] == entries[1]:
        return "the table is not this game's score and nine zeros"
    if glyph(right - 15, 383, right, 402) != entries[0]:
        return "the score after You_Score is not the first entry"
    if lit(0, 0, 799, 599, 0) != lit(318, 68, 437, 95, 0) + lit(110, 210, 289, 239, 0) + \
            lit(348, 106, 363, 354, 0) + lit(318, 380, 599, 406, 0):
        return "pixels lit elsewhere"
    return "ok"


def serve(folder):
    for question in map(str.strip, sys.stdin):
        if question == "still":
            first = dump(f"{folder}/still1.xwd")[0]
            time.sleep(0.1)
            second, row, block = dump(f"{folder}/still2.xwd")
            block *= 16
            answer = sum(any(first[y * row + x * block:y * row + (x + 1) * block]
                             != second[y * row + x * block:y * row + (x + 1) * block]
                             for y in range(y0, min(y0 + 16, 600)))
                         for y0 in range(0, 600, 16) for x in range(50))
        else:
            for _ in range(30):
                answer = judge(question, *dump(f"{folder}/{question}.xwd"))
                if answer == "ok":
                    break
                time.sleep(0.2)
        print(answer, flush=True)


if __name__ == "__main__":
    if sys.argv[1:2] == ["steps"]:
        steps()
    else:
        serve(sys.argv[2])
