"""Small projectiles. Each one is bright with a dark rim so it reads on both
the night sky and the stone floor."""

from common import Canvas, OUTLINE, FIRE, RED, IRON, BRASS, GOLD


def bullet():
    """The hero's energy pellet, 8x8: white-hot core, gold rim."""
    c = Canvas(8, 8)
    c.circle(4, 4, 3.1, GOLD[2])
    c.circle(4, 4, 2.4, GOLD[1])
    c.circle(3.9, 3.9, 1.6, GOLD[0])
    c.rect(3, 3, 5, 5, (255, 255, 255))
    return c.finish((70, 30, 20, 255))


def rocket():
    """11x20, nose pointing down: fins and a little exhaust flame on top."""
    c = Canvas(11, 20)
    # exhaust flame above the fins
    c.poly([(3.5, 3.5), (5.5, 0.2), (7.5, 3.5)], FIRE[3])
    c.poly([(4.5, 3.5), (5.5, 1.4), (6.5, 3.5)], FIRE[1])
    # tail fins
    c.poly([(3.5, 4), (1, 8.5), (1, 10), (3.5, 9)], RED[2])
    c.poly([(7.5, 4), (10, 8.5), (10, 10), (7.5, 9)], RED[3])
    # body
    c.rect(3, 3, 8, 15, IRON[2])
    c.rect(3.5, 3, 5.2, 15, IRON[0])
    c.rect(3, 6, 8, 7.2, BRASS[1])
    c.rect(3, 10.5, 8, 12, RED[1])
    c.rect(4.5, 8, 6.5, 10.5, GOLD[1])       # warning light
    # warhead
    c.poly([(3, 14.5), (8, 14.5), (7.5, 17), (5.5, 19.4), (3.5, 17)], RED[2])
    c.poly([(3.5, 14.5), (5.5, 14.5), (5.5, 19), (3.8, 17)], RED[1])
    return c.finish(OUTLINE)


def laser():
    """16x16 bolt from top-left to bottom-right, brightest at the head."""
    c = Canvas(16, 16)
    c.line([(2.5, 2.5), (13.0, 13.0)], RED[2], 3.6)
    c.line([(3.5, 3.5), (13.2, 13.2)], RED[1], 2.6)
    c.line([(5.0, 5.0), (13.0, 13.0)], RED[0], 1.6)
    c.line([(7.5, 7.5), (12.8, 12.8)], (255, 240, 236), 1.2)
    return c.finish(OUTLINE)


def fireball():
    """13x13 ball of flame with flickering tongues around a white core."""
    c = Canvas(13, 13)
    for ox, oy, r in ((6.5, 3.0, 2.6), (3.0, 5.0, 2.4), (10.0, 5.0, 2.4),
                      (4.0, 9.5, 2.4), (9.0, 9.5, 2.4)):
        c.circle(ox, oy, r, FIRE[4])
    c.circle(6.5, 6.5, 5.0, FIRE[4])
    c.circle(6.5, 6.5, 4.0, FIRE[3])
    c.circle(6.2, 6.2, 2.9, FIRE[2])
    c.circle(6.0, 6.0, 1.8, FIRE[1])
    c.circle(5.8, 5.8, 1.0, FIRE[0])
    return c.finish((70, 16, 24, 255))
