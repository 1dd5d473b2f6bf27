"""The hero: a small armoured gunner, 46x68, facing right, feet on the bottom row.

The body is posed from a handful of joint angles so that the idle picture, the
walk cycle and the jump share exactly the same drawing code and proportions.
"""

import math

from common import Canvas, STEEL, GOLD, CYAN, RED, SUIT, IRON, OUTLINE

W, H = 46, 68
GROUND = 67.0        # feet rest on this line (the outline sits on the last row)
THIGH, SHIN = 11.0, 10.5
VISOR_SLOT = (24, 30, 48)   # dark recess the visor glass sits in


class Pose:
    def __init__(self, front=(8, 8), back=(-6, 6), bob=0.0, arm_swing=0.0,
                 scarf=0.0, scarf_lift=0.0, gun_kick=0.0, airborne=False, lift=0.0):
        self.front = front            # (thigh angle, knee bend) in degrees, +angle = forward
        self.back = back
        self.bob = bob                # extra vertical offset of the upper body
        self.arm_swing = arm_swing    # back arm swing in degrees
        self.scarf = scarf            # wave phase of the scarf
        self.scarf_lift = scarf_lift  # how much the scarf blows upward (jumping)
        self.gun_kick = gun_kick      # blaster pulled back by this many pixels
        self.airborne = airborne      # jump poses are not snapped to the ground
        self.lift = lift              # hips raised above their rest height (jumping)


def leg_points(hip, thigh_deg, knee_deg):
    """Hip -> knee -> ankle; the knee bends backwards like a real one."""
    t = math.radians(thigh_deg)
    knee = (hip[0] + THIGH * math.sin(t), hip[1] + THIGH * math.cos(t))
    s = math.radians(thigh_deg - knee_deg)
    ankle = (knee[0] + SHIN * math.sin(s), knee[1] + SHIN * math.cos(s))
    return knee, ankle


def draw_leg(c, hip, thigh_deg, knee_deg, shade):
    """shade 0 = near leg (lit), 1 = far leg (in the body's shadow)."""
    knee, ankle = leg_points(hip, thigh_deg, knee_deg)
    plate = STEEL[1 + 2 * shade]
    shin = STEEL[2 + 2 * shade]
    c.capsule(hip, knee, 3.5, SUIT[1 + shade])
    c.capsule(knee, ankle, 3.1, shin)
    # greave: a lighter plate along the front of the shin
    c.capsule((knee[0] + 1.0, knee[1] + 1.5), (ankle[0] + 1.0, ankle[1] - 2.0), 1.5, plate)
    # thigh guard
    c.capsule((hip[0] + 0.8, hip[1] + 1.5), (knee[0] + 0.6, knee[1] - 2.0), 2.3, shin)
    c.circle(knee[0] + 0.8, knee[1], 2.2, GOLD[1 + shade])
    # boot: heel behind the ankle, toe well forward so the hero reads as facing right
    ax, ay = ankle
    tilt = max(-0.6, min(0.6, math.radians(thigh_deg - knee_deg) * 0.6))
    toe = (ax + 6.4 * math.cos(tilt), ay + 2.6 + 6.4 * math.sin(tilt))
    c.poly([(ax - 3.2, ay - 1.8), (ax + 2.6, ay - 1.8), (toe[0] + 0.6, toe[1] - 0.5),
            (toe[0], toe[1] + 1.4), (ax - 3.2, ay + 3.6)], IRON[2 + shade])
    c.poly([(ax - 3.2, ay + 2.4), (toe[0], toe[1] + 0.2), (toe[0], toe[1] + 1.4),
            (ax - 3.2, ay + 3.6)], IRON[3 + shade])
    return ankle


def lowest_foot(hips, pose):
    ys = []
    for hip, (a, k) in zip(hips, (pose.front, pose.back)):
        _, ankle = leg_points(hip, a, k)
        ys.append(ankle[1] + 3.6)
    return max(ys)


def draw_scarf(c, neck, pose):
    """A red scarf streaming backwards; two tones give the cloth a fold."""
    top, bot = [], []
    for i in range(8):
        u = i / 7.0
        x = neck[0] - 1 - u * 15
        wave = math.sin(pose.scarf + u * 4.0) * (0.5 + 2.4 * u)
        y = neck[1] + 1 + u * (3.5 - 10.0 * pose.scarf_lift) + wave
        half = 2.6 - 1.4 * u
        top.append((x, y - half))
        bot.append((x, y + half))
    c.poly(top + bot[::-1], RED[2])
    c.line([(x, y + 0.8) for x, y in top[:6]], RED[1], 1.4)
    c.ellipse(neck[0] - 5.5, neck[1] - 2.2, neck[0] + 5.0, neck[1] + 3.2, RED[2])
    c.ellipse(neck[0] - 5.0, neck[1] - 2.2, neck[0] + 4.0, neck[1] + 1.6, RED[1])


def draw_gunner(pose):
    c = Canvas(W, H)
    # Rest proportions; then drop the body so the lowest boot sits on the ground.
    hip_y = 41.0 + pose.bob
    hips = [(22.0, hip_y), (18.5, hip_y)]
    if pose.airborne:
        dy = -pose.lift
    else:
        dy = GROUND - lowest_foot(hips, pose)
    hip_y += dy
    hips = [(22.0, hip_y), (18.5, hip_y)]
    top = hip_y - 41.0            # everything above the hips hangs off this

    def P(x, y):
        return (x, y + top)

    neck = P(18.0, 20.5)

    # far side first: back leg, back arm, power pack
    draw_leg(c, hips[1], pose.back[0], pose.back[1], 1)
    sw = math.radians(pose.arm_swing)
    sh = P(15.5, 25.0)
    elbow = (sh[0] + 6 * math.sin(sw), sh[1] + 6 * math.cos(sw))
    c.capsule(sh, elbow, 2.5, STEEL[3])
    c.capsule(elbow, (elbow[0] + 4.5, elbow[1] + 2.5), 2.3, STEEL[4])
    x0, y0 = P(7.0, 22.5)
    c.rect(x0, y0, x0 + 7, y0 + 14, IRON[2])
    c.rect(x0 + 0.8, y0 + 0.8, x0 + 2.6, y0 + 13, IRON[1])
    c.rect(x0 + 3.4, y0 + 2.5, x0 + 5.6, y0 + 11.5, CYAN[2])
    c.rect(x0 + 3.4, y0 + 2.5, x0 + 5.0, y0 + 5.5, CYAN[0])
    c.rect(x0, y0 + 13, x0 + 7, y0 + 14, IRON[3])

    # torso: dark undersuit, chest plate with a lit upper edge, belt
    c.poly([P(12.5, 22), P(27, 22), P(28, 32), P(26.5, 41.5), P(13.5, 41.5), P(12, 32)], SUIT[1])
    c.poly([P(13, 22.0), P(27.5, 22.0), P(28.5, 30.5), P(25.5, 35.5), P(15.5, 35.5), P(12.5, 30)],
           STEEL[3])
    c.poly([P(14, 22.5), P(27, 22.5), P(27.8, 30), P(25, 34.3), P(16, 34.3), P(13.6, 29.5)],
           STEEL[2])
    c.poly([P(15.5, 23.2), P(26.5, 23.2), P(27, 28.5), P(22, 29.5), P(16, 27.5)], STEEL[1])
    c.poly([P(21, 23.8), P(26, 23.8), P(26.3, 26.3), P(22.5, 26.8)], STEEL[0])
    c.rect(*P(15.5, 35.5), *P(26.5, 37.5), SUIT[0])
    bx0, by0 = P(13.0, 37.5)
    c.rect(bx0, by0, bx0 + 14.5, by0 + 3.5, IRON[3])
    c.rect(bx0 + 9, by0 + 0.2, bx0 + 13, by0 + 3.3, GOLD[2])
    c.rect(bx0 + 9.7, by0 + 0.9, bx0 + 12, by0 + 2.4, GOLD[0])

    # near leg
    draw_leg(c, hips[0], pose.front[0], pose.front[1], 0)

    # scarf wraps the neck, tail streams back past the power pack
    draw_scarf(c, neck, pose)

    # helmet: dome, crest, glowing visor looking right
    hx, hy = P(20.0, 11.0)
    c.poly([(hx - 6, hy - 6), (hx - 13.5, hy - 9), (hx - 12.5, hy - 6.5), (hx - 8, hy - 2)], GOLD[2])
    c.poly([(hx - 6.5, hy - 6.5), (hx - 12.5, hy - 8.5), (hx - 9, hy - 4.5)], GOLD[1])
    c.ellipse(hx - 8, hy - 8.5, hx + 8.5, hy + 8, STEEL[2])
    c.ellipse(hx - 7.5, hy - 8.2, hx + 7.5, hy + 4.0, STEEL[1])
    c.ellipse(hx - 4.5, hy - 7.5, hx + 2.5, hy - 3.5, STEEL[0])
    c.poly([(hx - 7, hy + 3), (hx + 8, hy + 3), (hx + 7, hy + 8.5), (hx - 5, hy + 8.5)], STEEL[3])
    c.poly([(hx - 0.5, hy - 2), (hx + 9.5, hy - 2), (hx + 9.5, hy + 3.8), (hx + 1.5, hy + 3.8)],
           VISOR_SLOT)
    c.poly([(hx + 1, hy - 1), (hx + 9.0, hy - 1), (hx + 9.0, hy + 2.8), (hx + 2.5, hy + 2.8)],
           CYAN[1])
    c.rect(hx + 2.5, hy + 1.6, hx + 9, hy + 2.8, CYAN[2])
    c.rect(hx + 5.0, hy - 1.0, hx + 8.5, hy + 0.4, CYAN[0])
    c.rect(hx - 5.5, hy - 1, hx - 2, hy + 3, GOLD[2])                                  # ear stud
    c.rect(hx - 4.8, hy - 0.3, hx - 2.8, hy + 1.5, GOLD[1])

    # near arm and the blaster, held level at chest height
    k = pose.gun_kick
    sx, sy = P(20.5, 25.5)
    hand = (sx + 8.5 - k, sy + 5.0)
    c.capsule((sx, sy), (sx + 2.0, sy + 6.5), 2.6, SUIT[0])
    c.capsule((sx + 2.0, sy + 6.5), hand, 2.4, STEEL[2])
    gx, gy = hand[0] - 2, hand[1] - 4.5
    c.rect(gx + 1, gy + 5, gx + 5, gy + 10, IRON[3])                                    # grip
    c.poly([(gx, gy), (gx + 17, gy), (gx + 17, gy + 5.5), (gx, gy + 6)], IRON[2])       # body
    c.rect(gx + 1, gy + 0.8, gx + 16, gy + 2.2, IRON[0])
    c.rect(gx + 17, gy + 0.8, gx + 22.5 - k, gy + 4.2, IRON[3])                          # barrel
    c.rect(gx + 17, gy + 0.8, gx + 22.5 - k, gy + 2.0, IRON[1])
    c.rect(gx + 7, gy + 2.6, gx + 14, gy + 4.4, GOLD[1])                                 # energy cell
    c.rect(gx + 9, gy + 2.6, gx + 12, gy + 3.4, GOLD[0])
    c.ellipse(hand[0] - 2.5, hand[1] - 2.2, hand[0] + 2.5, hand[1] + 2.6, STEEL[1])      # gauntlet
    # shoulder pauldron sits high on the shoulder, not over the chest
    c.ellipse(sx - 4.5, sy - 4.5, sx + 4.0, sy + 3.0, STEEL[3])
    c.ellipse(sx - 4.0, sy - 4.2, sx + 3.5, sy + 1.8, STEEL[1])
    c.ellipse(sx - 2.5, sy - 3.6, sx + 1.0, sy - 1.2, STEEL[0])
    c.rect(sx - 4.0, sy + 1.5, sx + 3.5, sy + 3.0, GOLD[2])
    return c.finish(OUTLINE)


def idle():
    return draw_gunner(Pose(front=(10, 6), back=(-8, 4), arm_swing=10, scarf=0.6))


def walk_frames(n=8):
    frames = []
    for i in range(n):
        t = i / n
        ph = 2 * math.pi * t
        # the leg that swings forward bends its knee most in the middle of the swing
        front = (26 * math.sin(ph), 6 + 40 * max(0.0, math.cos(ph)) ** 1.5)
        back = (26 * math.sin(ph + math.pi), 6 + 40 * max(0.0, math.cos(ph + math.pi)) ** 1.5)
        # the body is highest while passing over the standing leg
        bob = -1.2 * abs(math.cos(ph))
        frames.append(draw_gunner(Pose(front=front, back=back, bob=bob,
                                       arm_swing=18 * math.sin(ph + math.pi),
                                       scarf=ph * 1.0 + 0.5)))
    return frames


def jump_frames():
    # rising: knees tucked, scarf blown down-back; falling: legs reaching for the floor
    return [
        draw_gunner(Pose(front=(48, 78), back=(6, 66), arm_swing=-30, scarf=1.2,
                         scarf_lift=-0.3, airborne=True, lift=-0.5)),
        draw_gunner(Pose(front=(40, 62), back=(-4, 44), arm_swing=-45, scarf=2.6,
                         scarf_lift=0.6, airborne=True, lift=0.0)),
    ]
