#include "Autopilot.h"

#include "Fight/World.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A bullet is followed for this many moves at most.
constexpr int kBulletMoves = 70;

// What the bot knows of the controls: the player's own movement rules, one frame at a time.
struct Body {
    double x = 0, y = 0, vx = 0, vy = 0, jumpSpeed = 0;
    bool onGround = false, jumping = false;
    int facing = 1;

    Rect rect() const { return {static_cast<int32_t>(x), static_cast<int32_t>(y), Player::kWidth, Player::kHeight}; }

    void step(int horizontal, bool jumpKey, const std::vector<Rect>& solids)
    {
        constexpr double kAcceleration = 0.35, kMaxSpeed = 4.0, kGravity = 0.35;
        constexpr double kJumpStep = 1.2, kJumpMax = 7.2, kJumpCut = 3.5;
        if (horizontal < 0) {
            facing = 0;
            vx -= kAcceleration;
        } else if (horizontal > 0) {
            facing = 1;
            vx += kAcceleration;
        } else {
            if (vx > 0)
                vx -= kAcceleration;
            else if (vx < 0)
                vx += kAcceleration;
            if (std::abs(vx) <= kAcceleration)
                vx = 0;
        }
        vx = std::clamp(vx, -kMaxSpeed, kMaxSpeed);
        x += vx;
        for (const Rect& solid : solids) {
            Rect r = rect();
            if (!r.intersects(solid))
                continue;
            if (vx > 0) {
                r.setRight(solid.left());
                x = r.x;
                vx = 0;
            } else if (vx < 0) {
                r.setLeft(solid.right());
                x = r.x;
                vx = 0;
            }
        }
        if (jumpKey) {
            if (onGround)
                jumping = true;
            if (jumpSpeed < kJumpMax && jumping) {
                jumpSpeed = std::min(jumpSpeed + kJumpStep, kJumpMax);
                vy = -jumpSpeed;
            } else if (jumpSpeed >= kJumpMax) {
                jumpSpeed = 0;
                jumping = false;
            }
        } else if (jumping) {
            jumping = false;
            jumpSpeed = 0;
            if (vy < 0)
                vy = -kJumpCut;
        } else if (jumpSpeed >= kJumpMax) {
            jumpSpeed = 0;
        }
        if (!onGround)
            vy += kGravity;
        y += vy;
        onGround = false;
        for (const Rect& solid : solids) {
            Rect r = rect();
            if (!r.intersects(solid))
                continue;
            if (vy > 0) {
                r.setBottom(solid.top());
                y = r.y;
                onGround = true;
            } else if (vy < 0) {
                r.setTop(solid.bottom());
                y = r.y;
            }
            jumping = false;
            vy = 0;
            jumpSpeed = 0;
        }
    }
};

// Where the boss being fought will be: its body follows fixed patrol rules.
struct BossTrack {
    bool second = false; // fighting the second boss
    bool vulnerable = true;
    Rect body;
    int dirX = 1, dirY = 1, speedX = 4, speedY = 0;

    // The rectangle bullets are tested against in an update that starts from this state.
    Rect target() const
    {
        if (second)
            return body;
        const int x = dirX == 1 ? body.x + body.w - 106 : body.x;
        return {x, body.y + body.h - 90, 106, 90};
    }

    void step()
    {
        const int x = dirX == 1 ? body.x + speedX : body.x - speedX;
        if (x > 839)
            dirX = 0;
        else if (x <= 10)
            dirX = 1;
        body.x = x;
        if (second) {
            const int y = dirY == 1 ? body.y + speedY : body.y - speedY;
            if (y > 199)
                dirY = 0;
            else if (y <= 40)
                dirY = 1;
            body.y = y;
        }
    }
};

BossTrack trackOf(const World& world)
{
    BossTrack track;
    if (!world.boss01.isFinished()) {
        track.body = world.boss01.rect();
        track.dirX = world.boss01.direction();
        track.vulnerable = !world.boss01.isDead();
    } else {
        const Boss02& boss = world.boss02;
        track.second = true;
        track.body = boss.rect();
        track.dirX = boss.directionX();
        track.dirY = boss.directionY();
        track.speedX = boss.isSecondStage() ? 6 : 3;
        track.speedY = boss.isSecondStage() ? 3 : 2;
        track.vulnerable = !boss.isDead() && !boss.isTransforming() && !boss.isInvulnerable();
    }
    return track;
}

// A laser as the forecast follows it: the second boss's flight and bounce rules.
struct Bolt {
    Point position;
    int direction = Laser::kDownLeft;

    Rect rect() const { return {position.x, position.y, Laser::kSize, Laser::kSize}; }

    void move()
    {
        const bool left = direction == Laser::kUpLeft || direction == Laser::kDownLeft;
        const bool down = direction == Laser::kDownLeft || direction == Laser::kDownRight;
        position.x += left ? -Laser::kStep : Laser::kStep;
        position.y += down ? Laser::kStep : -Laser::kStep;
        if (position.y > 580) {
            if (direction == Laser::kDownLeft)
                direction = Laser::kUpLeft;
            else if (direction == Laser::kDownRight)
                direction = Laser::kUpRight;
        }
    }
};

bool rowExplosionHurts(const Animation& explosion) { return !explosion.isFirstFrame() && !explosion.isLastFrame(); }

// The rectangle bullets are tested against after each number of the boss's updates from now: the same
// for every plan tried, so worked out once a frame.
std::vector<Rect> bossTargets(BossTrack boss, int updates)
{
    std::vector<Rect> targets;
    targets.reserve(static_cast<size_t>(updates) + 1);
    targets.push_back(boss.target());
    for (int i = 0; i < updates; ++i) {
        boss.step();
        targets.push_back(boss.target());
    }
    return targets;
}

// Whether a shot fired in future frame `fireFrame` (1-based) from the body's centre would hit.
bool shotHits(const Body& body, int horizontal, int fireFrame, bool secondBoss, const std::vector<Rect>& targets)
{
    int x = static_cast<int>(body.x + Player::kWidth / 2);
    int y = static_cast<int>(body.y + Player::kHeight / 2);
    const bool diagonal = horizontal != 0;
    const int dx = diagonal ? (body.facing == 1 ? Bullet::kStep : -Bullet::kStep) : 0;
    // The first boss tests the body as it was before this update's move; the second after it.
    size_t updates = static_cast<size_t>(secondBoss ? fireFrame : fireFrame - 1);
    for (int moves = 1; moves < kBulletMoves; ++moves, ++updates) {
        x += dx;
        y -= Bullet::kStep;
        if (x < 0 || x > 1024 || y < 0)
            return false;
        if (Rect(x, y, Bullet::kSize, Bullet::kSize).intersects(targets[updates]))
            return true;
    }
    return false;
}

// Between shots, drift toward a spot from which a shot meets the boss: straight below where it will be,
// or trailing it by the distance a diagonal bullet covers on its way up.
int riseOf(const Rect& target) { return std::max(1, (566 - target.center().y) / Bullet::kStep); }

double driftFromFiringSpot(const Body& body, const std::vector<Rect>& targets)
{
    const int rise = riseOf(targets.front());
    const double centre = targets[static_cast<size_t>(Autopilot::kHorizon + rise)].center().x - Player::kWidth / 2.0;
    double best = std::numeric_limits<double>::infinity();
    for (double spot : {centre, centre - rise * Bullet::kStep, centre + rise * Bullet::kStep})
        if (spot >= 0 && spot <= 1024 - Player::kWidth)
            best = std::min(best, std::abs(body.x - spot));
    return std::isinf(best) ? 0.0 : best / 1024.0;
}

} // namespace

Autopilot::Bounds Autopilot::boundsOf(const std::vector<Rect>& rects)
{
    Bounds bounds;
    for (const Rect& r : rects) {
        bounds.left = std::min<int64_t>(bounds.left, r.x);
        bounds.top = std::min<int64_t>(bounds.top, r.y);
        bounds.right = std::max(bounds.right, int64_t{r.x} + r.w);
        bounds.bottom = std::max(bounds.bottom, int64_t{r.y} + r.h);
    }
    return bounds;
}

bool Autopilot::Bounds::mayMeet(const Rect& r) const
{
    return std::min(right, int64_t{r.x} + r.w) > std::max<int64_t>(left, r.x)
        && std::min(bottom, int64_t{r.y} + r.h) > std::max<int64_t>(top, r.y);
}

void Autopilot::forecastHazards(World& world)
{
    danger_.assign(kHorizon, {});
    const bool secondBoss = world.boss01.isFinished();
    const bool bossMoves = !world.player.isFinished();

    std::vector<Rocket> rockets = world.boss01.rockets();
    std::optional<Animation> impact = world.boss01.impactExplosion();
    std::vector<Bolt> lasers;
    for (const Laser& laser : world.boss02.lasers())
        lasers.push_back({laser.position(), laser.direction()});
    // The next laser pair leaves the boss's centre when its timer fires, and flies in that same update.
    BossTrack boss = trackOf(world);
    const FrameTimer& laserTimer = world.boss02.laserTimer();
    const bool bossShoots = secondBoss && !world.boss02.isDead() && !world.boss02.isTransforming();
    const int pairUpdate = static_cast<int>(laserTimer.limit() - laserTimer.count()) + 1;
    std::vector<Fireball> fireballs = world.boss02.fireballs();

    for (int k = 0; k < kHorizon; ++k) {
        std::vector<Rect>& rects = danger_[static_cast<size_t>(k)];
        for (const Rocket& rocket : rockets)
            rects.push_back(rocket.rect());
        if (impact && !impact->isLastFrame())
            rects.push_back(Rect(impact->rect(), -9));
        for (const Bolt& laser : lasers)
            rects.push_back(laser.rect());
        for (const Fireball& fireball : fireballs) {
            if (!fireball.isExploding())
                rects.push_back(fireball.rect());
            else
                for (const Animation& explosion : fireball.row())
                    if (rowExplosionHurts(explosion))
                        rects.push_back(explosion.rect());
        }
        if (!bossMoves)
            continue;
        // The boss being fought moves its projectiles after the player's turn.
        if (!secondBoss) {
            for (size_t i = 0; i < rockets.size();) {
                rockets[i].fall();
                if (rockets[i].rect().y > 580) {
                    if (impact) {
                        impact->reset();
                        Rect area = impact->rect();
                        area.setCenter(rockets[i].rect().center());
                        impact->setPosition(area.position());
                    }
                    rockets.erase(rockets.begin() + static_cast<long>(i));
                } else {
                    ++i;
                }
            }
            if (impact)
                impact->update();
        } else {
            boss.step();
            if (bossShoots && k + 1 == pairUpdate) {
                lasers.push_back({boss.body.center(), Laser::kDownLeft});
                lasers.push_back({boss.body.center(), Laser::kDownRight});
            }
            for (size_t i = 0; i < lasers.size();) {
                Bolt& laser = lasers[i];
                laser.move();
                if (laser.rect().y < 0)
                    lasers.erase(lasers.begin() + static_cast<long>(i));
                else
                    ++i;
            }
            for (size_t i = 0; i < fireballs.size();) {
                Fireball& fireball = fireballs[i];
                fireball.update();
                if (fireball.rect().y > 580)
                    fireball.explode();
                if (fireball.isDone())
                    fireballs.erase(fireballs.begin() + static_cast<long>(i));
                else
                    ++i;
            }
        }
    }
    dangerBounds_.clear();
    for (const std::vector<Rect>& rects : danger_)
        dangerBounds_.push_back(boundsOf(rects));
}

Autopilot::Outcome Autopilot::forecast(const World& world, const Plan& plan) const
{
    const Player& player = world.player;
    Body body{
        player.x(), player.y(), player.vx(), player.vy(), jumpSpeed_, player.isOnGround(), jumping_, player.facing()};
    const long invulnerableUntil = hurtFrame_ + 91;
    const bool bossVulnerable = trackOf(world).vulnerable;
    const bool secondBoss = world.boss01.isFinished();

    Outcome outcome;
    for (int f = 1; f <= kHorizon; ++f) {
        const int horizontal = f <= plan.firstFrames ? plan.first : plan.then;
        body.step(horizontal, f <= plan.jumpFrames, solids_);
        const auto k = static_cast<size_t>(f - 1);
        if (frame_ + f > invulnerableUntil) {
            // A pixel of margin covers what the forecast cannot know exactly.
            const Rect me(body.rect(), 1);
            if (dangerBounds_[k].mayMeet(me))
                for (const Rect& hazard : danger_[k])
                    if (me.intersects(hazard)) {
                        // Sooner hits weigh more: later ones can still be dodged by the next plan.
                        outcome.hurt += 1.0 + 2.0 * (kHorizon - f) / kHorizon;
                        break;
                    }
        }
        const long frameNumber = frame_ + f - 1;
        const bool shoots = frameNumber >= nextShotFrame_ && (frameNumber - nextShotFrame_) % kShotPeriod == 0;
        if (bossVulnerable && shoots && f <= kShotHorizon && shotHits(body, horizontal, f, secondBoss, bossTargets_))
            outcome.hits += 1.0 - 0.5 * f / kShotHorizon;
    }
    outcome.drift = driftFromFiringSpot(body, bossTargets_);
    return outcome;
}

bool Autopilot::givingUp(const World& world) const
{
    const Boss02& boss = world.boss02;
    return fightsLost_ < fightsToLose_ && world.boss01.isFinished() && boss.isSecondStage() && !boss.isDead()
        && boss.health() <= kGiveUpHealth;
}

Autopilot::Plan Autopilot::bestPlan(World& world, bool givingUp)
{
    forecastHazards(world);
    // What every plan is tried against: the walls and floor, and the boss's path far enough ahead for
    // the last aimed shot's flight and for the firing spot past the horizon.
    solids_ = {world.ground, world.leftWall, world.rightWall};
    const BossTrack boss = trackOf(world);
    bossTargets_ = bossTargets(boss, std::max(kShotHorizon + kBulletMoves, kHorizon + riseOf(boss.target())));
    Plan best;
    double bestScore = -std::numeric_limits<double>::infinity();
    for (int first : {0, -1, 1})
        for (int firstFrames : {2, 5, 10, 20, 40})
            for (int then : {0, -1, 1})
                for (int jump : {0, 1, 8}) {
                    if (first == then && firstFrames != 2)
                        continue;
                    const Plan plan{first, firstFrames, then, jump};
                    const Outcome outcome = forecast(world, plan);
                    const double s
                        = givingUp ? outcome.hurt : -100.0 * outcome.hurt + 3.0 * outcome.hits - outcome.drift;
                    if (s > bestScore) {
                        bestScore = s;
                        best = plan;
                    }
                }
    return best;
}

// Nothing is left to fight after the victory, and nothing leaves the victory screen: the bot runs
// from wall to wall, firing and jumping now and then, so that a long run keeps the player busy.
Autopilot::Plan Autopilot::roam(const Player& player)
{
    if (player.rect().left() <= 0)
        roamDirection_ = 1;
    else if (player.rect().right() >= 1024)
        roamDirection_ = -1;
    return {roamDirection_, 1, roamDirection_, frame_ % 120 < 8 ? 1 : 0};
}

Keyboard::State Autopilot::decide(World& world)
{
    ++frame_;
    Keyboard::State keys{};
    Player& player = world.player;
    if (lastHealth_ >= 0 && player.getHealth() < lastHealth_)
        hurtFrame_ = frame_ - 1;
    lastHealth_ = player.getHealth();
    // A bullet still beside the player was fired last frame: with fire held, the next leaves 10 frames later.
    const std::vector<Bullet>& bullets = player.getBullets();
    if (!bullets.empty()) {
        const Point shot = bullets.back().getPosition();
        const Point centre = player.rect().center();
        if (std::abs(shot.x - centre.x) <= Bullet::kStep && std::abs(shot.y - centre.y) <= Bullet::kStep)
            nextShotFrame_ = frame_ - 1 + kShotPeriod;
    }
    if (nextShotFrame_ < frame_)
        nextShotFrame_ = frame_;

    const bool over = player.isFinished();
    if (over && !gameOverSeen_)
        ++fightsLost_;
    gameOverSeen_ = over;
    if (over) {
        keys[SDL_SCANCODE_RETURN] = 1;
        lastHealth_ = -1;
        nextShotFrame_ = frame_ + 1;
        jumping_ = false;
        jumpSpeed_ = 0;
        return keys;
    }

    const bool giveUp = givingUp(world);
    const bool won = world.boss02.isFinished();
    const Plan best = won ? roam(player) : bestPlan(world, giveUp);
    if (best.first < 0)
        keys[SDL_SCANCODE_LEFT] = 1;
    else if (best.first > 0)
        keys[SDL_SCANCODE_RIGHT] = 1;
    if (best.jumpFrames > 0)
        keys[SDL_SCANCODE_SPACE] = 1;
    // Shots go up at the boss; after the victory they go level, under the congratulation text.
    keys[SDL_SCANCODE_UP] = won ? 0 : 1;
    keys[SDL_SCANCODE_LCTRL] = giveUp ? 0 : 1;

    Body next{
        player.x(), player.y(), player.vx(), player.vy(), jumpSpeed_, player.isOnGround(), jumping_, player.facing()};
    next.step(best.first, best.jumpFrames > 0, {world.ground, world.leftWall, world.rightWall});
    jumping_ = next.jumping;
    jumpSpeed_ = next.jumpSpeed;
    return keys;
}
