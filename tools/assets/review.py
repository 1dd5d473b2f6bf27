"""Review pictures (not game data): a labelled contact sheet of every sprite
and frame, and a staged mock-up of a fight using the real layout numbers."""

import os

from PIL import Image, ImageDraw

from common import TOOLS, font

SHEET_BG = (44, 46, 60, 255)
CHECK_A, CHECK_B = (58, 62, 80, 255), (50, 54, 70, 255)


def checker(w, h, cell=4):
    img = Image.new("RGBA", (w, h), CHECK_A)
    d = ImageDraw.Draw(img)
    for y in range(0, h, cell):
        for x in range((y // cell) % 2 * cell, w, cell * 2):
            d.rectangle([x, y, x + cell - 1, y + cell - 1], fill=CHECK_B)
    return img


def tile(img, zoom, caption, f):
    """One labelled cell: the picture on a checkerboard, zoomed by nearest."""
    big = img.resize((img.width * zoom, img.height * zoom), Image.NEAREST)
    cap_h = 16
    w = max(big.width, int(f.getlength(caption)) + 4)
    cell = Image.new("RGBA", (w, big.height + cap_h), SHEET_BG)
    cell.paste(checker(big.width, big.height), (0, cap_h))
    cell.alpha_composite(big, (0, cap_h))
    ImageDraw.Draw(cell).text((1, 1), caption, font=f, fill=(230, 230, 240, 255))
    return cell


def pack(cells, width, gap=10):
    """Simple left-to-right, top-to-bottom shelf packing."""
    rows, row, x = [], [], 0
    for c in cells:
        if row and x + c.width > width:
            rows.append(row)
            row, x = [], 0
        row.append(c)
        x += c.width + gap
    if row:
        rows.append(row)
    height = sum(max(c.height for c in r) + gap for r in rows) + gap
    out = Image.new("RGBA", (width, height), SHEET_BG)
    y = gap
    for r in rows:
        x = gap
        for c in r:
            out.alpha_composite(c, (x, y))
            x += c.width + gap
        y += max(c.height for c in r) + gap
    return out


def contact_sheet(art):
    f = font(11)
    sections = []

    def add(title, cells):
        sections.append((title, cells))

    add("hero (x3)", [tile(art["player"], 3, "player.png 46x68", f)] +
        [tile(im, 3, "walk %d" % i, f) for i, im in enumerate(art["walk"])] +
        [tile(im, 3, "jump %d" % i, f) for i, im in enumerate(art["jump"])])
    add("projectiles (x4)", [tile(art[n], 4, "%s %dx%d" % ((n,) + art[n].size), f)
                             for n in ("bullet", "rocket", "laser", "fireball")])
    add("boss 1 body, 170x104 (x2)",
        [tile(im, 2, "boss01 %d" % i, f) for i, im in enumerate(art["boss01"])])
    add("boss 2 (x2)", [tile(art["boss02"], 2, "boss02.png 79x94", f),
                        tile(art["boss02_st2"], 2, "boss02_st2.png 122x103", f)])
    add("explode 96x96 (x2)", [tile(im, 2, "explode %d" % i, f)
                               for i, im in enumerate(art["explode"])])
    add("explode2 40x40 (x3)", [tile(im, 3, "explode2 %d" % i, f)
                                for i, im in enumerate(art["explode2"])])
    hud = ["boss_label", "you_label", "left_bar", "bar", "right_bar",
           "left_bar_y", "bar_y", "right_bar_y"]
    add("HUD (x3)", [tile(art[n], 3, "%s %dx%d" % ((n,) + art[n].size), f) for n in hud])
    half = [(n, art[n]) for n in ("bg",)]
    over = []
    for n in ("gameover_overlay", "victory_overlay"):
        comp = art["bg"].copy()
        comp.alpha_composite(art[n])
        over.append((n + " (over bg)", comp))
    add("screens (x1/2)", [tile(im.resize((512, 360), Image.BOX), 1, n, f) for n, im in half + over])

    width = 1600
    parts = []
    title_font = font(16)
    for title, cells in sections:
        head = Image.new("RGBA", (width, 24), SHEET_BG)
        ImageDraw.Draw(head).text((10, 4), title, font=title_font, fill=(255, 214, 120, 255))
        parts += [head, pack(cells, width)]
    out = Image.new("RGBA", (width, sum(p.height for p in parts)), SHEET_BG)
    y = 0
    for p in parts:
        out.alpha_composite(p, (0, y))
        y += p.height
    out.save(os.path.join(TOOLS, "contact_sheet.png"), optimize=True)


def hud_bar(scene, y, label, left, body, right, length):
    scene.alpha_composite(label, (20, y))
    scene.alpha_composite(left, (120 - left.width, y))
    if length > 0:
        scene.alpha_composite(body.resize((length, body.height), Image.NEAREST), (120, y))
    scene.alpha_composite(right, (120 + length, y))


def mockup(art):
    """The arena with everything at the positions the game uses."""
    scene = art["bg"].copy()
    scene.alpha_composite(art["boss01"][0], (400, 30))
    scene.alpha_composite(art["boss02"], (700, 120))
    scene.alpha_composite(art["player"], (100, 532))
    scene.alpha_composite(art["walk"][2], (200, 532))
    # some shots in flight
    for x in range(160, 300, 40):
        scene.alpha_composite(art["bullet"], (x, 560))
    scene.alpha_composite(art["rocket"], (480, 200))
    scene.alpha_composite(art["rocket"], (560, 330))
    scene.alpha_composite(art["laser"], (640, 260))
    scene.alpha_composite(art["laser"].transpose(Image.FLIP_LEFT_RIGHT), (610, 300))
    scene.alpha_composite(art["fireball"], (760, 300))
    scene.alpha_composite(art["boss02_st2"], (860, 260))
    # a rocket landing and a fire wall being lit from the middle out
    scene.alpha_composite(art["explode"][4], (420 - 48, 600 - 70))
    fire = art["explode2"]
    for k in range(10):
        stage = abs(k - 4.5) // 1      # pairs 4,5 / 3,6 / ...
        frame = [4, 3, 2, 1, 0][int(stage)]
        if frame:
            scene.alpha_composite(fire[frame], (560 + 35 * k - 350 // 2 + 100, 560))
    hud_bar(scene, 683, art["boss_label"], art["left_bar"], art["bar"], art["right_bar"], 880)
    hud_bar(scene, 647, art["you_label"], art["left_bar_y"], art["bar_y"], art["right_bar_y"], 50)
    scene.save(os.path.join(TOOLS, "mockup.png"), optimize=True)
