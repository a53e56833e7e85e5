// key.cpp -- the answer to one key press: a step to the right with no monster next to the
// player, timed from the moment the key enters SDL's queue to the last flush of its turn.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "bench.h"
#include "display/display.h"
#include "dungeon/dungeon.h"
#include "game/game.h"
#include "game/game_state.h"
#include "monsters/monsters.h"

namespace {

constexpr int KEY_RUNS = 21;  // per monster count and flush mode

enum TurnStep { AWAITING_TURN_END, ENDING_GAME, GAME_ENDED };
TurnStep turn_step;
FlushLog turn_flushes;
std::atomic<std::int64_t> key_pushed_ns;

// Called before every poll of the game. The first poll after the key was read belongs to
// the loop's next pass, so the turn is over; the game is then ended through its own death
// prompt, answered at once, which keeps the window open for the next run.
void follow_turn() {
    if (turn_step == AWAITING_TURN_END && key_read_ns != 0) {
        turn_flushes = flush_log;
        game.hit_points = 0;
        turn_step = ENDING_GAME;
    } else if (turn_step == ENDING_GAME && game.hit_points == 0) {
        push_key(SDLK_SPACE);
        turn_step = GAME_ENDED;
    }
}

// No live monster within one row-or-column step of the cell, so none of them attacks.
bool clear_of_monsters(int x, int y) {
    for (const MonsterSlot& slot : monsters)
        if (slot.state != 0 && std::abs(slot.x - x) + std::abs(slot.y - y) < 2) return false;
    return true;
}

bool plain_step_right(int x, int y) {
    return x + 1 < MAP_WIDTH && terrain_at(x + 1, y) == TERRAIN_FLOOR && item_at(x + 1, y) == 0 &&
           clear_of_monsters(x + 1, y);
}

// Moves the player, untimed, to a cell from which "d" is a plain step; the monsters of
// earlier runs may have come close.
void place_player() {
    if (plain_step_right(game.player_x, game.player_y)) return;
    for (int cell = 0; cell < MAP_CELLS; cell++) {
        int x = cell % MAP_WIDTH, y = cell / MAP_WIDTH;
        if (terrain_at(x, y) != TERRAIN_FLOOR || !plain_step_right(x, y)) continue;
        draw_cell(game.player_x, game.player_y);
        game.player_x = static_cast<std::uint8_t>(x);
        game.player_y = static_cast<std::uint8_t>(y);
        draw_player();
        return;
    }
    std::fprintf(stderr, "no cell left for a plain step\n");
    std::exit(1);
}

struct TurnTimes {
    double response_ms, flushes_ms, on_top_ms, poll_wait_ms, work_ms, flush_count;
};

// The key arrives at a different point of the game's 1 ms idle sleep in every run; both
// flush modes get the same points.
TurnTimes one_turn(int run) {
    place_player();
    turn_step = AWAITING_TURN_END;
    key_read_ns = 0;
    reset_flush_log();
    before_key_poll = follow_turn;
    std::int64_t delay = 2000000 + (run * 379 % 1000) * 1000;
    std::thread presser([delay] {
        sleep_ns(delay);
        key_pushed_ns = now_ns();
        push_key(SDLK_d);
    });
    run_game();
    presser.join();
    before_key_poll = nullptr;
    game.hit_points = MAX_HIT_POINTS;
    double response = (turn_flushes.last_end_ns - key_pushed_ns) / 1e6;
    double flushes = turn_flushes.inside_ns / 1e6;
    double poll_wait = (key_read_ns - key_pushed_ns) / 1e6;
    return TurnTimes{response,
                     flushes,
                     response - flushes,
                     poll_wait,
                     response - flushes - poll_wait,
                     static_cast<double>(turn_flushes.count)};
}

void report_turns(const std::vector<TurnTimes>& turns, int monster_count, const char* suffix) {
    std::vector<double> response, flushes, on_top, poll_wait, work, count;
    for (const TurnTimes& turn : turns) {
        response.push_back(turn.response_ms);
        flushes.push_back(turn.flushes_ms);
        on_top.push_back(turn.on_top_ms);
        poll_wait.push_back(turn.poll_wait_ms);
        work.push_back(turn.work_ms);
        count.push_back(turn.flush_count);
    }
    const struct {
        const char* what;
        const std::vector<double>& samples;
    } figures[] = {{"key_ms", response},      {"key_flushes_ms", flushes},
                   {"key_on_top_ms", on_top}, {"key_poll_wait_ms", poll_wait},
                   {"key_work_ms", work},     {"key_flush_count", count}};
    for (const auto& figure : figures) {
        char name[64];
        std::snprintf(name, sizeof name, "%s_m%d_%s", figure.what, monster_count, suffix);
        report(name, median(figure.samples));
    }
}

void time_key(int monster_count) {
    game = GameState{0, 0, static_cast<std::uint8_t>(monster_count), MAX_HIT_POINTS, 0, 0, 0};
    generate_level(game.dungeon_level);
    TCOD_console_clear(NULL);
    draw_status_line();
    draw_level();
    std::vector<TurnTimes> libtcod, single;
    for (int run = 0; run < 2 * KEY_RUNS; run++) {
        flush_mode = run % 2 == 0 ? FLUSH_LIBTCOD : FLUSH_SINGLE_PRESENT;
        TurnTimes turn = one_turn(run / 2);
        (run % 2 == 0 ? libtcod : single).push_back(turn);
    }
    flush_mode = FLUSH_LIBTCOD;
    report_turns(libtcod, monster_count, "libtcod");
    report_turns(single, monster_count, "single");
}

}  // namespace

void measure_key_response() {
    open_game_window();
    time_key(1);
    time_key(25);
}
