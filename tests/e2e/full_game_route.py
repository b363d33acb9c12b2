#!/usr/bin/env python3
"""The route of the full-game end-to-end test: walk from the start to three firing spots and shoot
the three enemies the player can walk up to (1, 4 and 5), which ends the game.

Every walk ends by pushing into a wall: the player stops where the probe 32 pixels ahead first
enters a wall cell, a place fixed by the wall and the walk's start alone, however long the key is
held beyond that. So X input whose timing is only roughly known still brings the player to the
same spots, as long as each hold is not cut short.

  full_game_route.py steps             the route for the X driver, one step a line:
                                         "move KEY TICKS" or "volley MX MY TICKS"
  full_game_route.py script SCALE      a kelto-replay tick script with every hold scaled
  full_game_route.py verify REPLAY     plays the route through kelto-replay with holds of 0.8,
                                         1.5 and 3 times the nominal ones and with mixed holds and
                                         idle gaps; checks that the player reaches the same spots,
                                         that each volley kills its enemy with two hits and that
                                         the game ends; prints the score
"""

import random
import subprocess
import sys

# X key names and the virtual-key codes that the game binds to them.
KEY_CODES = {"w": 87, "a": 65, "s": 83, "d": 68}

# Each step: ("move", key, nominal hold in ticks, player position where the wall stops it) or
# ("volley", mouse x, mouse y, nominal hold of the left button in ticks, enemy slot, player
# position while firing). The player is drawn at window (400, 300), so the mouse point minus
# (400, 300) is the direction of fire. Holds are about 1.5 times what the walk needs, so even
# 0.8 of a hold reaches the wall; a volley of 40 ticks fires twice even at 0.8 (shots leave on the
# first tick and every 21 ticks after it).
ROUTE = [
    # Down column 3 to row 6, the row of enemy 1.
    ("move", "s", 145, (224, 416)),
    # Enemy 1 at (448, 416): straight right along row 6; the shots that miss end in the wall of
    # column 8.
    ("volley", 600, 300, 40, 1, (224, 416)),
    # Right to the wall of column 8, up column 7 to row 1, right along row 1 to column 13.
    ("move", "d", 130, (482, 416)),
    ("move", "w", 160, (482, 95)),
    ("move", "d", 195, (866, 95)),
    # Enemy 4 at (864, 320): straight down column 13; later shots end in the wall of row 7.
    ("volley", 400, 500, 40, 4, (866, 95)),
    # Down column 13 to row 6, left to column 11, up to row 4, left to column 9, down to row 8,
    # right along row 8 to column 18, under enemy 5.
    ("move", "s", 160, (866, 416)),
    ("move", "a", 70, (734, 416)),
    ("move", "w", 70, (734, 287)),
    ("move", "a", 70, (605, 287)),
    ("move", "s", 130, (605, 545)),
    ("move", "d", 290, (1184, 545)),
    # Enemy 5 at (1184, 448): straight up column 18; later shots end in the wall of row 5.
    ("volley", 400, 100, 40, 5, (1184, 545)),
]

# Ticks to run after the last volley for its second bullet to arrive and the game to end.
SETTLE_TICKS = 200
# Each hit takes 5 of an enemy's 10 health and scores 1.
PREDICTED_SCORE = 6


def steps():
    for step in ROUTE:
        if step[0] == "move":
            print(f"move {step[1]} {step[2]}")
        else:
            print(f"volley {step[1]} {step[2]} {step[3]}")


def tick_script(scales, gaps):
    """Lines of a replay script and, per step, the index of its first tick. scales and gaps give
    each step's hold factor and the idle ticks before it."""
    lines, starts = [], []
    mouse = (600, 300)
    for step, scale, gap in zip(ROUTE, scales, gaps):
        lines += [f"{mouse[0]} {mouse[1]} 0 0 -"] * gap
        starts.append(len(lines))
        if step[0] == "move":
            ticks = max(1, round(step[2] * scale))
            lines += [f"{mouse[0]} {mouse[1]} 0 0 {KEY_CODES[step[1]]}"] * ticks
        else:
            mouse = (step[1], step[2])
            # The pointer reaches its spot before the button goes down.
            lines += [f"{mouse[0]} {mouse[1]} 0 0 -"] * 3
            starts[-1] = len(lines)
            ticks = max(1, round(step[3] * scale))
            lines += [f"{mouse[0]} {mouse[1]} 1 0 -"] * ticks
    lines += [f"{mouse[0]} {mouse[1]} 0 0 -"] * SETTLE_TICKS
    return lines, starts


def script(scale):
    lines, _ = tick_script([scale] * len(ROUTE), [5] * len(ROUTE))
    print("\n".join(lines))


def replay(replay_tool, lines):
    """Runs the script; returns per tick (score, player position, set of enemy slots) and the
    game-over line (or None)."""
    out = subprocess.run([replay_tool], input="\n".join(lines) + "\n", capture_output=True,
                         text=True, check=True).stdout
    ticks, over = [], None
    # Only the tick, player and enemy lines matter; most lines are other units.
    for line in out.splitlines():
        head = line[:16]
        if head.startswith("tick"):
            ticks.append([int(line.split(maxsplit=4)[3]), None, set()])
        elif "TPlayer" in head:
            fields = line.split(maxsplit=5)
            ticks[-1][1] = (float(fields[3]), float(fields[4]))
        elif "TEnemy" in head:
            ticks[-1][2].add(int(line.split(maxsplit=2)[1]))
        elif head.startswith("game"):
            over = line
    return ticks, over


def check_run(replay_tool, name, scales, gaps):
    """Plays one variant; returns a list of faults, the final score, the world per tick and the
    first tick of each step."""
    lines, starts = tick_script(scales, gaps)
    ticks, over = replay(replay_tool, lines)
    faults = []
    volleys = 0
    for index, (step, start) in enumerate(zip(ROUTE, starts)):
        end = starts[index + 1] if index + 1 < len(starts) else len(lines)
        if step[0] == "move":
            # The position when the next step starts (idle ticks do not move the player).
            if end - 1 >= len(ticks):
                faults.append(f"{name}: the game ended before step {index + 1}")
                break
            seen = ticks[end - 1][1]
            if seen != step[3]:
                faults.append(f"{name}: step {index + 1} ({step[1]}) ends at {seen}, "
                              f"expected {step[3]}")
        else:
            if start >= len(ticks):
                faults.append(f"{name}: the game ended before volley {index + 1}")
                break
            if ticks[start - 1][1] != step[5]:
                faults.append(f"{name}: volley {index + 1} fired from {ticks[start - 1][1]}, "
                              f"expected {step[5]}")
            # The enemy is gone, with two hits scored for it, before the next volley starts;
            # its second bullet may still be on the way while the player walks on.
            enemy = step[4]
            volleys += 1
            following = [s for i, s in enumerate(starts) if i > index and ROUTE[i][0] == "volley"]
            until = min(following[0] if following else len(lines), len(ticks))
            gone = next((t for t in range(start, until) if enemy not in ticks[t][2]), None)
            if enemy not in ticks[start - 1][2] or gone is None:
                faults.append(f"{name}: volley {index + 1} did not destroy enemy {enemy}")
            elif ticks[gone][0] != 2 * volleys:
                faults.append(f"{name}: score {ticks[gone][0]} when enemy {enemy} was destroyed, "
                              f"expected {2 * volleys}")
    score = ticks[-1][0] if ticks else None
    if over is None:
        faults.append(f"{name}: the game did not end (score {score})")
    elif not over.startswith(f"game over score {PREDICTED_SCORE} table "):
        faults.append(f"{name}: {over}")
    return faults, score, ticks, starts


def needed_ticks(ticks, starts, scale):
    """Per move of a run with every hold scaled by scale, the ticks of holding the key after which
    the player stopped moving."""
    result = []
    for index, step in enumerate(ROUTE):
        if step[0] != "move":
            continue
        start = starts[index]
        stop = start
        for t in range(start, start + round(step[2] * scale)):
            if ticks[t][1] != ticks[t - 1][1]:
                stop = t
        result.append((index + 1, step[1], stop - start + 1, step[2]))
    return result


def verify(replay_tool):
    faults = []
    count = len(ROUTE)
    variants = [(f"x{scale}", [scale] * count, [5] * count) for scale in (3.0, 0.8, 1.5)]
    generator = random.Random(2024)
    for n in range(3):
        variants.append((f"mixed{n}", [generator.uniform(0.8, 2.0) for _ in ROUTE],
                         [generator.randint(0, 40) for _ in ROUTE]))
    for name, scales, gaps in variants:
        found, score, ticks, starts = check_run(replay_tool, name, scales, gaps)
        faults += found
        print(f"{name}: {len(ticks)} ticks, score {score}, {'ok' if not found else 'FAULTY'}")
        if name == "x3.0":
            # Holds three times too long: each walk has surely come to its wall.
            needed = needed_ticks(ticks, starts, 3.0)
    for step, key, need, hold in needed:
        print(f"step {step} ({key}): the wall stops the player after {need} ticks; hold {hold}")
        if hold * 0.8 < need:
            faults.append(f"step {step}: a hold of {hold} is less than 1.25 times the {need} "
                          f"ticks the walk takes")
    for fault in faults:
        print("FAULT: " + fault, file=sys.stderr)
    if faults:
        return 1
    print(f"predicted score {PREDICTED_SCORE}")
    return 0


def main(argv):
    if len(argv) == 2 and argv[1] == "steps":
        steps()
        return 0
    if len(argv) == 3 and argv[1] == "script":
        script(float(argv[2]))
        return 0
    if len(argv) == 3 and argv[1] == "verify":
        return verify(argv[2])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
