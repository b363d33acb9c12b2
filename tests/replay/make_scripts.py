#!/usr/bin/env python3
"""Writes the replay scripts of this folder: one input line per tick, "MX MY L R KEYS".

The player's walk is planned here with the same wall rule as the game (positions stay whole
numbers, so rounding is the identity): each held key probes the point 32 pixels ahead and moves
3 pixels when that point lies on a floor cell. Run it from anywhere; it rewrites the *.txt files
next to it. The expected outputs are made separately, once, and read before they are committed.
"""
import os

GRID = """
1111111111111111111111
1000011000000011000001
1000011000000011001101
1000011011111010001101
1000001010001010001101
1000001010101010111101
1000000010100010110001
1111111110111110110111
1111000110000000000101
1111000111111111111101
1010000111100000000101
1010000000101111110101
1010011000101100000101
1010011011101100000101
1010011011000100111101
1010011010000100000001
1000011000000100000001
1111111111111111111111
""".split()

UP, DOWN, LEFT, RIGHT, ESC = 87, 83, 65, 68, 27


def passable(x, y):
    if x < -63 or x > 1407 or y < -63 or y > 1151:
        return False
    return GRID[int(y / 64)][int(x / 64)] == "0"


class Script:
    def __init__(self, title):
        self.lines = ["# " + line for line in title.strip().splitlines()]
        self.x, self.y = 224, 128
        self.mouse = (400, 300)
        self.left = self.right = False

    def comment(self, text):
        self.lines.append("# " + text)

    def aim_at(self, tx, ty):
        """Points the mouse at a level point, seen from the player's position."""
        self.mouse = (400 + tx - self.x, 300 + ty - self.y)
        assert all(0 <= m <= 65535 for m in self.mouse)

    def tick(self, keys=()):
        if keys:
            text = ",".join(str(k) for k in keys)
        else:
            text = "-"
        self.lines.append(f"{self.mouse[0]} {self.mouse[1]} {int(self.left)} {int(self.right)} {text}")
        # The player's own walk, in the order of its update.
        for key, dx, dy in ((LEFT, -3, 0), (RIGHT, 3, 0), (UP, 0, -3), (DOWN, 0, 3)):
            if key in keys and passable(self.x + dx / 3 * 32, self.y + dy / 3 * 32):
                self.x += dx
                self.y += dy

    def wait(self, ticks, keys=()):
        for _ in range(ticks):
            self.tick(keys)

    def walk(self, x=None, y=None, keep_aim_at=None):
        """Walks straight to x or to y; every step must succeed."""
        while (x is not None and self.x != x) or (y is not None and self.y != y):
            if x is not None and self.x != x:
                key = RIGHT if x > self.x else LEFT
                probe = (self.x + (32 if key == RIGHT else -32), self.y)
            else:
                key = DOWN if y > self.y else UP
                probe = (self.x, self.y + (32 if key == DOWN else -32))
            assert passable(*probe), (self.x, self.y, key)
            if keep_aim_at:
                self.aim_at(*keep_aim_at)
            self.tick((key,))
            assert (x is None or (self.x - x) % 3 == 0) and (y is None or (self.y - y) % 3 == 0)

    def write(self, name):
        path = os.path.join(os.path.dirname(os.path.abspath(__file__)), name)
        with open(path, "w", newline="\n") as out:
            out.write("\n".join(self.lines) + "\n")


def stand():
    s = Script("""
Standing still at the start with the mouse exactly on the window centre: the player keeps its
start facing (angle 0, no direction) and fires a bullet that stays where it is and fades after
101 updates. Enemy 1, 365 pixels away, fires every 21 ticks from tick 21 on; its bullets die in
the wall between. The turrets turn and fire every 11 ticks.""")
    s.wait(20)
    s.left = True
    s.wait(1)
    s.left = False
    s.wait(129)
    s.write("stand.txt")


def walls():
    s = Script("""
Walking into walls from the start: up to y 95, left to x 95, right to x 290, down to y 416 in
column 4 and back, with A and D (and W and S) held together in some ticks. E does nothing. Esc
is pressed once: the world only switches the scene and goes on.""")
    s.aim_at(224, 400)
    s.wait(40, (UP,))          # stops at 95: the probe at 63 is row 0
    s.wait(5, (LEFT, RIGHT))   # left then right: no net move
    s.wait(5, (UP, DOWN))      # up is blocked at 95, down is not: 98; then up and down each tick
    s.wait(50, (LEFT,))        # stops at 95 (probe 63 is column 0)
    s.wait(1, (ESC,))
    s.wait(3, (69,))
    s.wait(70, (RIGHT,))       # stops at 290: 290 + 32 = 322 is column 5
    s.walk(x=263)              # column 4, open down to row 6
    s.wait(110, (DOWN,))       # stops at 416: 448 is row 7
    s.wait(20, (DOWN, RIGHT))
    s.write("walls.txt")


def enemy_kill():
    s = Script("""
Walking down column 3 to row 6 and firing along the row at enemy 1 until it dies: two hits,
score 2. The enemy fires back every 21 ticks while the player is within 400 pixels; its bullets
vanish on the player.""")
    s.walk(y=416)
    s.aim_at(448, 416)
    s.left = True
    s.wait(70)
    s.left = False
    s.wait(10)
    s.write("enemy_kill.txt")


def fields():
    s = Script("""
Time fields over turret 1: aiming at it from the start, a weak field (charge 30) and then a
strong one (charge 80) are thrown at it. Each flies 29 ticks, opening up; the turret inside
turns and fires at the field's factor (0.09, then 0.02 while the later, strong field also
overlaps it). The weak field ends with its 400th update.""")
    s.aim_at(320, 224)
    s.right = True
    s.wait(50 + 30)            # charging starts when the throw counter passes 50
    s.right = False
    s.wait(1)                  # weak field thrown
    s.right = True
    s.wait(50 + 80)
    s.right = False
    s.wait(1)                  # strong field thrown
    s.wait(270)
    s.write("fields.txt")


def game_over():
    s = Script("""
A whole game: enemy 1 is shot from row 6, enemy 4 from the top of column 13, enemy 5 from
below in row 8. Once none of the enemies the player can walk to is left, the game is over and
the best-score rule puts the score into the last entry of the table.""")
    s.walk(y=416)
    s.aim_at(448, 416)
    s.left = True
    s.wait(70)
    s.left = False
    s.walk(x=476)                            # into column 7, over enemy 1's cell
    s.walk(y=128)                            # up column 7 to row 2
    s.walk(x=866)                            # along row 2 to column 13
    s.aim_at(864, 320)
    s.left = True
    s.wait(60)
    s.left = False
    s.walk(y=416)                            # down column 13 to row 6
    s.walk(x=737)                            # west along row 6 to column 11
    s.walk(y=287)                            # up column 11 to row 4
    s.walk(x=605)                            # west along row 4 to column 9
    s.walk(y=545)                            # down column 9 to row 8
    s.walk(x=1181)                           # east along row 8 to column 18
    s.aim_at(1184, 448)
    s.left = True
    s.wait(60)
    s.write("game_over.txt")


if __name__ == "__main__":
    stand()
    walls()
    enemy_kill()
    fields()
    game_over()
