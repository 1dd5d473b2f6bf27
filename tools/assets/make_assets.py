#!/usr/bin/python3
"""Regenerates every file under data/ from the code in this folder.

    /usr/bin/python3 tools/assets/make_assets.py            # everything
    /usr/bin/python3 tools/assets/make_assets.py --no-music # skip the slow part

Also writes tools/assets/contact_sheet.png (every sprite and frame, labelled)
and tools/assets/mockup.png (a staged screenshot) for reviewing the art.
Everything is seeded, so two runs give the same bytes.
"""

import os
import shutil
import sys

sys.dont_write_bytecode = True     # keep tools/assets free of __pycache__
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from common import (ROOT, FONT_BOLD, save_png, write_animation, updates_per_frame)  # noqa: E402
import player  # noqa: E402
import bosses  # noqa: E402
import projectiles  # noqa: E402
import effects  # noqa: E402
import ui  # noqa: E402
import sounds  # noqa: E402
import music  # noqa: E402
import review  # noqa: E402
import icon  # noqa: E402

# Frame timings in milliseconds. At 60 updates per second a frame stays
# delay // 16.67 + 1 updates on screen.
WALK_DELAY = 80          # 5 updates a frame, 8 frames: one stride cycle in 2/3 s
JUMP_DELAY = 100
BOSS1_DELAY = 100
# The rocket blast hurts until its last frame: 10 frames x 3 updates = 0.5 s.
EXPLODE_DELAY = 40
# The fire wall lights 5 pairs one after another, each when the previous pair
# reaches its last frame: 5 x 8 x 3 = 120 updates, two seconds in all.
EXPLODE2_DELAY = 40


def make_pictures():
    """Draw every picture; returns {name: image or [frames]} for the review sheets."""
    art = {}

    art["player"] = player.idle()
    save_png(art["player"], "data/img/player.png")
    art["walk"] = player.walk_frames(8)
    write_animation("data/img/playerAnimation/walk.xml", art["walk"], WALK_DELAY)
    art["jump"] = player.jump_frames()
    write_animation("data/img/playerAnimation/jump.xml", art["jump"], JUMP_DELAY)

    art["bullet"] = projectiles.bullet()
    art["rocket"] = projectiles.rocket()
    art["laser"] = projectiles.laser()
    art["fireball"] = projectiles.fireball()
    for name in ("bullet", "rocket", "laser", "fireball"):
        save_png(art[name], "data/img/%s.png" % name)

    art["boss01"] = bosses.boss01_frames(8)
    write_animation("data/img/boss01/boss01_anim.xml", art["boss01"], BOSS1_DELAY)
    art["boss02"] = bosses.boss02()
    save_png(art["boss02"], "data/img/boss02.png")
    art["boss02_st2"] = bosses.boss02_stage2()
    save_png(art["boss02_st2"], "data/img/boss02_st2.png")

    art["explode"] = effects.blast_frames(96, 11)
    write_animation("data/img/explosion/explode.xml", art["explode"], EXPLODE_DELAY)
    art["explode2"] = effects.flame_frames(40, 40, 9)
    write_animation("data/img/explosion/explode2.xml", art["explode2"], EXPLODE2_DELAY)

    art["bg"] = ui.draw_backdrop()
    save_png(art["bg"], "data/img/bg.png")

    art["boss_label"] = ui.boss_label()
    art["you_label"] = ui.you_label()
    save_png(art["boss_label"], "data/img/boss_label.png")
    save_png(art["you_label"], "data/img/you_label.png")
    for suffix, fill in (("", ui.BOSS_FILL), ("_y", ui.PLAYER_FILL)):
        art["left_bar" + suffix] = ui.bar_cap(fill)
        art["bar" + suffix] = ui.bar_body(fill)
        art["right_bar" + suffix] = ui.bar_cap(fill, right=True)
        for name in ("left_bar", "bar", "right_bar"):
            save_png(art[name + suffix], "data/img/%s%s.png" % (name, suffix))

    art["gameover_overlay"] = ui.gameover_overlay()
    save_png(art["gameover_overlay"], "data/img/gameover_overlay.png")
    art["victory_overlay"] = ui.victory_overlay()
    save_png(art["victory_overlay"], "data/img/victory_overlay.png")

    art["options_panel"] = ui.options_panel()
    art["options_cursor"] = ui.options_cursor()
    art["options_title"] = ui.options_title("OPTIONS")
    art["controls_title"] = ui.options_title("CONTROLS")
    for name in ("options_panel", "options_cursor", "options_title", "controls_title"):
        save_png(art[name], "data/img/%s.png" % name)
    return art


def copy_font():
    dst = os.path.join(ROOT, "data", "ttf")
    os.makedirs(dst, exist_ok=True)
    # the game asks for this file name; the face is DejaVu Sans Bold, which
    # also covers the Cyrillic of the victory message
    shutil.copyfile(FONT_BOLD, os.path.join(dst, "tahomabd.ttf"))
    shutil.copyfile("/usr/share/doc/fonts-dejavu-core/copyright",
                    os.path.join(dst, "LICENSE-DejaVu.txt"))


LICENSE_TEXT = """# Licence of the game data

Everything under `data/` except the font was made by Duelfall's own generator
scripts in `tools/assets/` (run `/usr/bin/python3 tools/assets/make_assets.py`):

- pictures in `data/img/` (drawn with Pillow and NumPy),
- the game's icon in `data/icon/` (PNG at 16 to 256 pixels and a Windows .ico),
- sound effects in `data/sfx/` (synthesised with NumPy),
- music in `data/music/` (composed and synthesised with NumPy, encoded with LAME).

The project releases these files, and the generator scripts that make them,
into the public domain under CC0 1.0 Universal
(https://creativecommons.org/publicdomain/zero/1.0/).

`data/ttf/tahomabd.ttf` is an unmodified copy of DejaVu Sans Bold from the
DejaVu fonts project, kept under the file name the game loads. DejaVu is a
derivative of the Bitstream Vera fonts and is distributed under the Bitstream
Vera licence (with the DejaVu changes in the public domain); the full text is
in `data/ttf/LICENSE-DejaVu.txt`.
"""


def write_license():
    with open(os.path.join(ROOT, "data", "LICENSE.md"), "w", encoding="utf-8",
              newline="\n") as fh:
        fh.write(LICENSE_TEXT)


# The game takes a folder named data only when it holds this file, whose first line is checked: any
# other folder of that name (a player's photos in the home directory) is passed over.
DATA_MARKER = ("duelfall.data", "duelfall game data\n")


def write_data_marker():
    name, text = DATA_MARKER
    with open(os.path.join(ROOT, "data", name), "w", encoding="utf-8", newline="\n") as fh:
        fh.write(text)


def main(argv):
    with_music = "--no-music" not in argv
    art = make_pictures()
    sounds.make_all()
    if with_music:
        music.make()
    icon.make_all()
    copy_font()
    write_license()
    write_data_marker()
    review.contact_sheet(art)
    review.mockup(art)
    print("walk: %d frames x %d updates" % (len(art["walk"]), updates_per_frame(WALK_DELAY)))
    print("explode: dangerous for %d updates" %
          ((len(art["explode"]) - 1) * updates_per_frame(EXPLODE_DELAY)))
    print("explode2: whole row burns %d updates" %
          (5 * (len(art["explode2"]) - 1) * updates_per_frame(EXPLODE2_DELAY)))
    print("assets written under", os.path.join(ROOT, "data"))


if __name__ == "__main__":
    main(sys.argv[1:])
