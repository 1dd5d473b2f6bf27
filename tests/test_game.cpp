// The game's objects and world driven in-process, seeded, against tests/golden/: what test_sim's traces do not
// show (speeds, flags, timers, fades, tints, sounds, bars, the victory text); the looks are golden pictures.

#include "Autopilot.h"
#include "Fight/World.h"
#include "Frame/GameFrame.h"

#include "Core/Core.h"
#include "Math/Random.h"
#include "support/Golden.h"
#include "support/Headless.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <optional>
#include <sstream>

namespace {

std::string tint(const Texture& t) { return join(+t.alpha(), +t.colorMod().r, +t.colorMod().g, +t.colorMod().b); }

Bullet bulletAt(Point p) { return Bullet("data/img/bullet.png", p, Bullet::kRight); }

Fireball fireballAt(Point at)
{
    Fireball fireball("data/img/fireball.png", at);
    fireball.setExplosion("data/img/explosion/explode2.xml");
    return fireball;
}

// The world as the game builds it (its bosses draw random numbers only when updated), the generator seeded.
std::unique_ptr<World> seededWorld(uint32_t seed)
{
    startHeadlessCore();
    Random::seed(seed);
    return std::make_unique<World>();
}

// Rows of named episodes: each row starts with the episode and the update within it.
struct Trace {
    void add(const std::string& name, const std::string& row)
    {
        step = name == episode ? step + 1 : 1;
        episode = name;
        rows.push_back(join(name, step) + row);
    }
    std::vector<std::string> rows;
    std::string episode;
    int step = 0;
};

void update(Trace& trace, const std::string& name, Boss01& boss, std::vector<Bullet> bullets = {})
{
    boss.update(bullets);
    const Rect body = boss.rect(), box = boss.hitbox();
    const Rect impact = boss.impactArea().value_or(Rect(-1, -1, 0, 0));
    long rx = 0, ry = 0, cx = 0, cy = 0;
    for (const Rocket& rocket : boss.rockets())
        rx += rocket.position().x, ry += rocket.position().y;
    std::string explosions;
    for (const Animation& explosion : boss.deathExplosions()) {
        explosions += join(explosion.current(), explosion.frameTimer().count());
        cx += explosion.rect().center().x, cy += explosion.rect().center().y;
    }
    trace.add(name,
        join(body.x, body.y, boss.direction(), boss.health(), boss.isDead(), boss.isFinished(), boss.isFlashOn(), box.x,
            box.y, impact.x, impact.y, boss.rockets().size(), rx, ry, boss.rocketTimer().count(),
            boss.rocketTimer().limit(), explosions, cx, cy, boss.explosionSoundStarts(),
            tint(boss.animation()->texture()), bullets.size()));
}

void update(Trace& trace, const std::string& name, Boss02& boss, std::vector<Bullet> bullets = {})
{
    boss.update(bullets);
    const Rect r = boss.rect();
    long lx = 0, ly = 0, ld = 0, fx = 0, fy = 0;
    for (const Laser& laser : boss.lasers())
        lx += laser.position().x, ly += laser.position().y, ld += laser.direction();
    for (const Fireball& fireball : boss.fireballs())
        fx += fireball.isExploding(), fy += fireball.position().y;
    trace.add(name,
        join(r.x, r.y, r.w, r.h, boss.directionX(), boss.directionY(), boss.health(), boss.isDead(), boss.isFinished(),
            boss.isTransforming(), boss.isSecondStage(), boss.isInvulnerable(), boss.isShowingSecondLook(),
            boss.isFlashOn(), boss.lasers().size(), lx, ly, ld, boss.fireballs().size(), fx, fy,
            boss.laserTimer().count(), boss.laserTimer().limit(), boss.fireballTimer().count(),
            boss.fireballTimer().limit(), boss.laserSoundStarts(), boss.explosionSoundStarts(),
            tint(boss.currentTexture()), bullets.size()));
}

template <typename Boss> void run(Trace& trace, const std::string& name, Boss& boss, int updates)
{
    for (int i = 0; i < updates; ++i)
        update(trace, name, boss);
}

template <typename T> std::string countAndX(const std::vector<T>& items)
{
    long x = 0;
    for (const T& item : items)
        x += item.position().x;
    return std::to_string(items.size()) + " " + std::to_string(x);
}

// The player's fields both the player's and the world's traces hold.
std::string playerRow(const Player& p)
{
    return join(p.x(), p.y(), p.vx(), p.vy(), p.getHealth(), p.isDead(), p.isFinished(), p.isInvulnerable(),
        p.isVisible(), p.isOnGround(), p.animState(), p.facing(), +p.texture().alpha());
}

// The arena and the bosses' weapons, as the frame update hands them to the player.
class PlayerTest : public ::testing::Test {
protected:
    // One frame holding the keys of `held` by letter (left, right, up, down, jump, fire), set as the game does.
    void frame()
    {
        const auto holds = [&](char key) { return held.find(key) != std::string::npos; };
        player.setLeftKey(holds('l'));
        player.setRightKey(holds('r'));
        player.setUpKey(holds('u'));
        player.setDownKey(holds('d'));
        player.setJumpKey(holds('j'));
        player.setFireKey(holds('f'));
        player.update(solids, rockets, impactArea, lasers, fireballs);
    }
    // A fresh player at x, rested on the floor (so that the next frame can jump), with no weapon around.
    void standAt(int x)
    {
        rockets.clear(), lasers.clear(), fireballs.clear(), impactArea.reset();
        player = Player("data/img/player.png", {x, 532});
        player.setWalkAnimation(walk);
        player.setJumpAnimation(jump);
        player.setBullet("data/img/bullet.png");
        player.setShootSound("data/sfx/playerShoot.wav");
        player.setHitSound("data/sfx/playerHit.wav");
        held.clear();
        for (int i = 0; i < 100 && (i == 0 || !player.isOnGround()); ++i)
            frame();
        ASSERT_TRUE(player.isOnGround());
    }
    void record(const std::string& name, int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            frame();
            long x = 0, y = 0, h = 0, v = 0;
            for (const Bullet& bullet : player.getBullets())
                x += bullet.getPosition().x, y += bullet.getPosition().y, h += bullet.hdir(), v += bullet.vdir();
            trace.add(name,
                playerRow(player)
                    + join(+walk.texture().alpha(), +jump.texture().alpha(), player.getBullets().size(), x, y, h, v,
                        countAndX(rockets), countAndX(lasers), countAndX(fireballs)));
        }
    }

    bool started = (startHeadlessCore(), true); // before anything loads
    Animation walk{"data/img/playerAnimation/walk.xml", 1};
    Animation jump{"data/img/playerAnimation/jump.xml", 1};
    std::vector<Rect> solids{{0, 600, 1200, 300}, {-200, 0, 200, 1000}, {1024, 0, 200, 1000}};
    std::vector<Rocket> rockets;
    std::optional<Rect> impactArea;
    std::vector<Laser> lasers;
    std::vector<Fireball> fireballs;
    Player player{"data/img/player.png", {}}; // the script's first line places it
    std::string held;
    Trace trace;
};

// A frame's world beyond the simulator's trace; what its drawing placed (bars, victory text so far); the music.
std::string worldRow(World& w)
{
    const Boss01& b1 = w.boss01;
    const Boss02& b2 = w.boss02;
    const Texture b1Texture = b1.animation()->texture(), b2Texture = b2.currentTexture();
    return playerRow(w.player)
        + join(w.player.getBullets().size(), b1.rect().x, b1.rect().y, b1.direction(), b1.health(), b1.isDead(),
            b1.isFinished(), b1.isFlashOn(), b1.impactArea().has_value(), +b1Texture.alpha(), +b1Texture.colorMod().g,
            w.boss01.rockets().size(), b1.explosionSoundStarts(), b2.rect().x, b2.rect().y, b2.rect().w, b2.health(),
            b2.isDead(), b2.isFinished(), b2.isTransforming(), b2.isSecondStage(), b2.isInvulnerable(),
            b2.isShowingSecondLook(), b2.isFlashOn(), +b2Texture.alpha(), +b2Texture.colorMod().g,
            w.boss02.lasers().size(), w.boss02.fireballs().size(), b2.laserSoundStarts(), b2.explosionSoundStarts(),
            w.youBarLeft.rect().right(), w.youBar.rect().x, w.youBar.rect().y, w.youBar.rect().w,
            w.youBarRight.rect().x, w.bossBarLeft.rect().right(), w.bossBar.rect().x, w.bossBar.rect().y,
            w.bossBar.rect().w, w.bossBarRight.rect().x, w.victoryText.rect().x, w.victoryText.rect().y,
            w.victoryText.text().size(), Mix_PlayingMusic());
}

} // namespace

// The episodes of tests/golden/player.script (its head explains the commands) against player.trace.
TEST_F(PlayerTest, TheScriptedEpisodesFollowTheGoldenPlayerTrace)
{
    std::ifstream script(std::string(DUELFALL_SOURCE_DIR) + "/tests/golden/player.script");
    ASSERT_TRUE(script);
    for (std::string line; std::getline(script, line);) {
        std::istringstream in(line);
        std::string command, word;
        int x = 0, y = 0, h = 0, v = 0;
        if (!(in >> command) || command[0] == '#')
            continue;
        if (command == "stand" && in >> x) {
            standAt(x);
        } else if (command == "bullet" && in >> x >> y >> h >> v) {
            player.getBullets().push_back(Bullet("data/img/bullet.png", {x, y}, h));
            player.getBullets().back().setVdir(v);
        } else if (command == "move-bullet" && in >> h >> x >> y) {
            player.getBullets().at(h).setPosition({x, y});
        } else if (command == "rocket" && in >> x >> y) {
            rockets.emplace_back("data/img/rocket.png", Point{x, y});
        } else if (command == "laser" && in >> x >> y) {
            lasers.emplace_back("data/img/laser.png");
            lasers.back().setPosition({x, y});
        } else if (command == "fireball" && in >> x >> y) {
            fireballs.push_back(fireballAt({x, y}));
            if (in >> word && word == "burning")
                fireballs.back().explode();
        } else if (command == "impact" && in >> x >> y) {
            impactArea = Rect(x, y, 96, 96);
        } else if (command == "row" && in >> x >> y) {
            Fireball burning = fireballAt({x, y});
            burning.explode();
            for (int n = 0; n < 1000 && !burning.isDone(); ++n) {
                burning.update();
                standAt(100);
                fireballs = {burning};
                record("row");
            }
        } else if (command == "respawn") {
            player.restart();
            held.clear();
        } else if (in >> word >> h) {
            held = word == "-" ? "" : word;
            record(command, h);
        } else {
            ADD_FAILURE() << "cannot read: " << line;
        }
    }
    expectGolden(trace.rows, "player.trace",
        "episode frame x y vx vy health dead finished invulnerable visible ground anim facing alpha walk_alpha "
        "jump_alpha bullets bullets_x bullets_y bullets_hdir bullets_vdir rockets rockets_x lasers lasers_x "
        "fireballs fireballs_x");
}

TEST(Boss01, ScriptedEpisodesFollowTheGoldenBoss01Trace)
{
    Trace trace;
    // Before any landing the impact explosion runs once at its initial place, reported but not drawn. Then
    // every rocket falls once; two land in one update and the one explosion restarts where the second came down.
    auto world = seededWorld(9);
    Boss01* boss = &world->boss01;
    for (int i = 0; i < 81; ++i) {
        if (i == 40)
            for (Point p : {Point{100, 576}, Point{200, 100}, Point{300, 576}, Point{400, 200}})
                boss->rockets().push_back(Rocket("data/img/rocket.png", p));
        else
            boss->rockets().clear();
        update(trace, "impact", *boss);
    }
    // Bullets touching the hit box's edges pass, one pixel further in each counts (tested before the move);
    // moving left, the box is at the other end. Then the patrol turns at both edges.
    world = seededWorld(1);
    boss = &world->boss01;
    update(trace, "hits", *boss, {bulletAt({456, 80}), bulletAt({500, 36}), bulletAt({570, 80}), bulletAt({500, 134})});
    const int x = boss->hitbox().x;
    update(trace, "hits", *boss, {bulletAt({x - 7, 80}), bulletAt({20, 600}), bulletAt({x + 20, 37})});
    while (boss->direction() == Boss01::kMovingRight)
        update(trace, "hits", *boss);
    const int left = boss->rect().x;
    update(trace, "hits", *boss, {bulletAt({left + 106, 80}), bulletAt({left + 105, 80})});
    run(trace, "hits", *boss, 250);
    // The death: five explosions at the front while rockets land and bullets pass; finished on its 241st update.
    // Restarted amid the death and after it, the first rocket comes after the last drawn duration, afresh.
    for (int deathUpdates : {60, 240, 245}) {
        for (int n = 0; !boss->isDead() && n < 1000; ++n)
            update(trace, "death", *boss, {bulletAt(boss->hitbox().center())});
        for (int n = 0; n < deathUpdates; ++n)
            update(trace, "death", *boss, {bulletAt(boss->hitbox().center()), bulletAt(boss->rect().center())});
        boss->restart();
        run(trace, "death", *boss, 45);
    }
    expectGolden(trace.rows, "boss01.trace",
        "episode update x y direction health dead finished flash hitbox_x hitbox_y impact_x impact_y rockets "
        "rockets_x rockets_y rocket_count rocket_limit explosion0 count0 explosion1 count1 explosion2 count2 "
        "explosion3 count3 explosion4 count4 explosions_x explosions_y sounds alpha tint_r tint_g tint_b bullets");
}

TEST(Boss02, ScriptedEpisodesFollowTheGoldenBoss02Trace)
{
    Trace trace;
    // The first pair from the centre on the 55th update. Lasers placed to leave through the top, to move on
    // although the one before is removed, to bounce once at the ground (also when still low going up), to
    // fly on outside the arena; a bolt from y = 167 bounces on its 69th step and leaves through the top.
    auto world = seededWorld(22);
    Boss02* boss = &world->boss02;
    run(trace, "lasers", *boss, 56);
    Laser laser("data/img/laser.png");
    std::vector<Laser>& lasers = boss->lasers();
    const std::vector<std::vector<std::pair<Point, int32_t>>> groups
        = {{{{300, 3}, Laser::kUpLeft}, {{400, 100}, Laser::kUpRight}, {{500, 576}, Laser::kDownLeft},
               {{600, 590}, Laser::kDownRight}, {{-50, 300}, Laser::kDownLeft}},
            {{{500, 167}, Laser::kDownRight}}};
    for (const auto& group : groups) {
        lasers.clear();
        for (const auto& [position, direction] : group) {
            laser.setPosition(position);
            laser.setDirection(direction);
            lasers.push_back(laser);
        }
        for (int i = 0; i < 170; ++i) {
            update(trace, "lasers", *boss);
            lasers.erase(lasers.begin() + std::min(lasers.size(), group.size()), lasers.end()); // the placed only
        }
    }
    // Through the switch at half health (taking no hit meanwhile), the second stage and its fireballs, to the
    // death that fades while its shots fly on; restarted amid the death and after it, and killed again.
    world = seededWorld(28);
    boss = &world->boss02;
    for (int deathUpdates : {20, 240, 245}) {
        for (int target : {440, 0}) {
            for (int n = 0; boss->health() > target && n < 1000; ++n) // on the body: it moves 6 by 3 at most first
                update(trace, "stages", *boss, std::vector(n == 0 ? 2 : 1, bulletAt(boss->rect().center())));
            run(trace, "stages", *boss, target == 0 ? deathUpdates : 95);
        }
        boss->restart();
        run(trace, "stages", *boss, 1);
    }
    expectGolden(trace.rows, "boss02.trace",
        "episode update x y w h direction_x direction_y health "
        "dead finished transforming stage invulnerable look flash lasers lasers_x lasers_y lasers_direction "
        "fireballs fireballs_exploding fireballs_y laser_count laser_limit fireball_count fireball_limit "
        "laser_sounds sounds alpha tint_r tint_g tint_b bullets");
}

// The row follows the fireball unburnt, then burns pair by pair from the middle outward, finished ones on their
// last frame (how a burning row is drawn is pinned by the golden pictures of the simulator's).
TEST(Projectiles, AFireballsRowFollowsTheGoldenFireballTrace)
{
    startHeadlessCore();
    Fireball fireball = fireballAt({500, 100});
    std::vector<std::string> rows;
    const auto update = [&] {
        fireball.update();
        std::string row = join(fireball.position().x, fireball.position().y, fireball.isExploding(),
            fireball.explosionStarting(), fireball.isDone(), fireball.row().size());
        for (const Animation& explosion : fireball.row())
            row += join(explosion.rect().x, explosion.rect().y, explosion.current(), explosion.frameTimer().count());
        rows.push_back(row);
    };
    update();
    fireball.setPosition({300, 120});
    for (int i = 0; i < 20; ++i)
        update();
    fireball.explode();
    while (!fireball.isDone() && rows.size() < 1000)
        update();
    update();
    fireball.setExplosion("data/img/explosion/explode2.xml"); // loading again appends ten more
    update();
    expectGolden(rows, "fireball.trace", "x y exploding starting done explosions x y frame count ...");
}

// The autopilot's game through the game's own frame callables: it loses the first fight on purpose, restarts
// with Enter, then wins; the victory text is revealed in whole letters, complete 280 frames after the victory.
TEST(GameTest, TheAutopilotsWholeFightFollowsTheGoldenWorldTrace)
{
    const auto world = seededWorld(1);
    Autopilot autopilot(1);
    std::vector<std::string> rows;
    for (int sinceVictory = 0; sinceVictory < 300 && rows.size() < 20000; sinceVictory += world->boss02.isFinished()) {
        // Drawing is slow: every 30th frame, and all at the fights' ends, where drawing reveals and restarts.
        const bool drawn = rows.size() % 30 == 0 || world->player.isFinished() || world->boss02.isDead()
            || (world->boss01.isDead() && !world->boss01.isFinished());
        Core::keyboard().setScript(autopilot.decide(*world));
        Core::keyboard().takeSnapshot();
        updateFrame(*world);
        if (drawn)
            drawFrame(*world);
        rows.push_back(worldRow(*world));
    }
    Core::keyboard().clearScript();
    expectGolden(rows, "world.trace",
        "x y vx vy health dead finished invulnerable visible ground anim facing alpha bullets boss1_x boss1_y "
        "boss1_direction boss1_health boss1_dead boss1_finished boss1_flash boss1_impact boss1_alpha boss1_tint_g "
        "rockets boss1_sounds "
        "boss2_x boss2_y boss2_w boss2_health boss2_dead boss2_finished transforming stage boss2_invulnerable look "
        "boss2_flash boss2_alpha "
        "boss2_tint_g lasers fireballs laser_sounds boss2_sounds you_left_end you_x you_y you_w you_right_x "
        "boss_left_end boss_x boss_y boss_w boss_right_x text_x text_y text_bytes music");
}
