// Play against the computer: the two start commands, the level, the turn the
// computer plays, and the two places where the mouse hands the game to it.
//
// The computer always plays the upper side (positive codes) and the person
// the lower side; which of them is 先手 is only a matter of the side values.
#include <algorithm>
#include <chrono>
#include <random>

#include "display/move_text.h"
#include "port/wait.h"
#include "play/game.h"
#include "rules/moves.h"
#include "searcher/compact_position.h"
#include "searcher/history.h"
#include "searcher/levels.h"

namespace zemtori {

namespace {

constexpr const char* MAN_NO_BAN = "MANの番です";
constexpr const char* ANATA_NO_KACHI = "あなたの勝ちです";
}  // namespace

// 先手: the person moves first, or an open game goes on against the computer.
void Game::SENTE_Click() {
    if (!may_leave_game(GO_ON_COMPUTER_QUESTION)) return;
    if (!start_of_play(PlayStart::PersonFirst)) return;  // Esc while the opening fell
    if (kifu.tesu() == 0 || turn.TEBAN == NASHI) {
        flow.take_sides(SENTE_GAWA);
        record_from_here();
        flow.resume();
        tell(MAN_NO_BAN, " ");
    } else if (turn.TEBAN == turn.MAN_GAWA) {
        flow.take_sides(SENTE_GAWA);
        flow.resume();
        tell(MAN_NO_BAN, "対局");
    } else if (turn.TEBAN == turn.COM_GAWA) {
        com_ban();
    }
}

// 後手: the computer moves first, or an open game goes on against it.
void Game::GOTE_Click() {
    if (!may_leave_game(GO_ON_COMPUTER_QUESTION)) return;
    if (!start_of_play(PlayStart::ComputerFirst)) return;  // Esc while the opening fell
    if (kifu.tesu() == 0 || turn.TEBAN == NASHI) {
        flow.take_sides(GOTE_GAWA);
        record_from_here();
        com_ban();  // it starts its own clock
    } else if (turn.TEBAN == turn.MAN_GAWA) {
        flow.resume();
        tell(MAN_NO_BAN, "対局");
    } else if (turn.TEBAN == turn.COM_GAWA) {
        com_ban();
    }
}

void Game::LEVEL1_Click() { level_click(1); }
void Game::LEVEL2_Click() { level_click(2); }
void Game::LEVEL3_Click() { level_click(3); }
void Game::LEVEL4_Click() { level_click(4); }
void Game::LEVEL5_Click() { level_click(5); }
void Game::LEVEL6_Click() { level_click(6); }
void Game::LEVEL7_Click() { level_click(7); }
void Game::LEVEL8_Click() { level_click(8); }
void Game::LEVEL9_Click() { level_click(9); }

// The level may change at any time; the computer's next move uses it.
void Game::level_click(int level) {
    for (int c = -2; c <= 0; ++c) screen.gazou_hyouji(screen.haikei(), c, 0);
    level_sentei(level);
    write_level();
}

void Game::level_sentei(int level) {
    constexpr MenuId LEVELS[] = {MenuId::LEVEL1, MenuId::LEVEL2, MenuId::LEVEL3, MenuId::LEVEL4, MenuId::LEVEL5,
                                 MenuId::LEVEL6, MenuId::LEVEL7, MenuId::LEVEL8, MenuId::LEVEL9};
    for (const MenuId id : LEVELS) set_checked(id, false);
    if (level >= 1 && level <= searcher::LAST_LEVEL) {
        set_checked(LEVELS[level - 1], true);
        engine.COM_LEVEL = level;
    }
    if (turn.COM_TAISEN) level_hyouji(engine.COM_LEVEL);
}

// The levels level_sentei takes, which the menu offers.
bool Game::level_offered(int level) { return level >= 1 && level <= searcher::LAST_LEVEL; }

void Game::level_hyouji(int level) {
    screen.moji_hyouji(-1.4, 0.2, "LEVEL", KURO, 0, 10);
    screen.moji_hyouji(-1.5, 0.1, "LEVEL", SHIRO, 0, 10);
    screen.moji_hyouji(0.1, 0.1, level, KURO, 0, 12);
    screen.moji_hyouji(0, 0, level, SHIRO, 0, 12);
}

void Game::tenmetsu(int koma, double c, double r, int count) {
    for (int i = 0; i < count; ++i) {
        screen.gazou_hyouji(KARA, c, r);
        screen.waku_hyouji(screen.WAKU_IRO, c, r);
        port.refresh();
        if (!matsu(port, 0.2 * pace())) return;
        screen.gazou_hyouji(koma, c, r);
        screen.waku_hyouji(screen.WAKU_IRO, c, r);
        port.refresh();
        if (!matsu(port, 0.2 * pace())) return;
    }
}

// The computer's turn: it thinks, blinks the piece it moves, moves it, lets
// everything fall, writes it, and hands the turn to the person before it
// says what the move did (mate, check or its win), so that a close while a
// box waits keeps the person to move.
void Game::com_ban() {
    if (turn.SHOSHA != NASHI || !progress_.begin_computer_turn()) return;
    start_turn_clock();

    // 思考中 in the message area left of the board, over the computer's last
    // move text.
    for (int c = -3; c <= 0; ++c) screen.gazou_hyouji(screen.haikei(), c, 8);
    move_text_upper_ = {};
    screen.waku_hyouji(screen.WAKU_IRO, -1, 7);
    screen.moji_hyouji(-1.5, 8.5, "思考中", KURO, 0, 12);
    screen.moji_hyouji(-1.6, 8.4, "思考中", SHIRO, 0, 12);
    screen.waku_hyouji(screen.WAKU_IRO, 1, 8);

    bool found = false;
    Candidate best;
    if (engine.COM_LEVEL >= searcher::FIRST_SEARCH_LEVEL) {
        port.refresh();
        const int level = engine.COM_LEVEL;
        // The draw of this move's choice, which also decides whether the
        // level searches for its best move alone.
        const uint64_t draw = searcher::level_draw(level_seed_, searcher::from_rules(pos, 1).key(), kifu.tesu());
        searcher::Limits own_limits;
        own_limits.nodes = searcher::level(level).nodes;
        const searcher::Limits limits = searcher::level_limits(level, search_budget_ ? *search_budget_ : own_limits, draw);
        const std::optional<Candidate> answer = think_in_background(true, limits, level, draw);
        // The window was closed (or Esc pressed) while the search ran: the
        // program is ending, and the board is left as it stands.
        if (!answer) return;
        best = *answer;
        found = best.koma != 0;
    } else {
        com_junbi(engine);
        port.refresh();
        engine.clock_tick = &search_clock;
        found = com_search(engine);
        engine.clock_tick = nullptr;
        best = engine.work.best;
        best.score = engine.work.SAIZEN_TEN;
    }

    // The thinking ends with the search: its time is read now, not from the
    // last tick, which never comes while the clock is hidden.
    end_turn_clock();
    const auto clear_message_area = [this] {
        for (int c = -3; c <= 0; ++c) screen.gazou_hyouji(screen.haikei(), c, 8);
        screen.waku_hyouji(screen.WAKU_IRO, -1, 7);
    };

    // No legal move or drop at all: the computer has lost.
    if (!found) {
        progress_.done();
        port.set_timer1(false);
        clear_message_area();
        win(turn.MAN_GAWA);
        tell(ANATA_NO_KACHI, "終了");
        return;
    }
    com_move_ = best;

    remember_settled_game();
    progress_.begin_computer_move();
    kifu.kyokumen_kiroku(pos, clock.man_jikan(), clock.man_jikan(), clock.com_jikan(),
                         clock.com_jikan() + clock.teban_jikan());
    write_count(kifu.tesu() + 1);

    // The piece about to move blinks twice where it stands.
    if (is_drop(best.from_x)) {
        tenmetsu(best.koma, UE_TE_X, best.from_y, 2);
    } else {
        const Cell from = square_cell(best.from_x, best.from_y);
        tenmetsu(best.moto_koma, from.c, from.r, 2);
    }
    // Esc or the window closed during the blink, the pauses or the fall: the
    // program is ending, and the turn ends where it stands.
    if (progress_.ending()) return;

    // Where the moved piece comes to rest, from the move made on a copy.
    Position settled_copy = pos;
    const int rest_x = play_and_fall(settled_copy, best.from_x, best.from_y, best.to_x, best.to_y, best.koma).rest_x;
    flow.make_move(pos, &animation, best.from_x, best.from_y, best.to_x, best.to_y, best.koma);
    if (!matsu(port, 0.5 * pace())) return;
    play_piece();
    port.refresh();
    if (!matsu(port, 0.4 * pace())) return;
    rakka(pos, &animation);
    if (progress_.ending()) return;
    record_move(best);
    progress_.done();

    port.set_timer1(false);
    kiki_keisan(engine);
    clear_message_area();
    // The computer's turn is over: its time is its own, and the person is
    // to move (or has lost).
    clock.add_turn(Clock::Player::Com);
    flow.hand_turn_to(turn.MAN_GAWA);

    // Taking the king comes first: the mate test would read the taken king's
    // old square and could call a finished game a mate.
    if (turn.SHOSHA == turn.COM_GAWA) {
        erase_move_text(turn.COM_GAWA);
        tell("ｺﾝﾋﾟｭｰﾀの勝ちです", "終了");
        return;
    }
    if (tsumi_hantei(engine) == 1) {
        tell("よし！!", "詰め ?");
    } else if (engine.maps.KIKI_UE[pos.OU_SITA_X][pos.OU_SITA_Y] > 0) {
        tell("   ** 王手 **", "");
    }
    if (progress_.ending()) return;

    write_move_text(turn.COM_GAWA, best.to_x, best.to_y, best.koma);
    // The white frame stands where the moved piece has come to rest.
    const Cell rest = square_cell(rest_x, best.to_y);
    screen.waku_hyouji(SHIRO, rest.c, rest.r);

    clock.start_turn(port.time_of_day());
    if (options_.KEIKA) port.set_timer1(true);
}

// A click in a game against the computer, before it is handled as a click:
// the computer moves first when it is to move (after stepping through the
// record), and a stepped game resumes for the person with a message.
void Game::resume_against_computer() {
    if (turn.TEBAN == turn.COM_GAWA) {
        flow.resume();
        tell("OKですか？", "再開(COM)");
        if (!progress_.ending()) com_ban();
    } else if (turn.TEBAN == turn.MAN_GAWA && turn.SAIKAI) {
        flow.resume();
        start_turn_clock();
        tell(MAN_NO_BAN, "対局");
    }
}

// The person's move has been made, has fallen and is written: the computer's
// king is tested, and the computer answers inside the same click.
void Game::hand_over_to_computer(int captured) {
    port.set_timer1(false);
    clock.add_turn(Clock::Player::Man);
    kiki_keisan(engine);
    if (tsumi_hantei_ue(engine) == 1 || captured == OU) {
        win(turn.MAN_GAWA);
        tell(ANATA_NO_KACHI, "終了");
        return;
    }
    flow.hand_turn_to(turn.COM_GAWA);
    com_ban();
}

void Game::set_search_limits(const searcher::Limits& searching, const searcher::Limits& hint) {
    search_budget_ = searching;
    hint_limits_ = hint;
}

void Game::fix_level_seed(std::optional<uint64_t> seed) {
    fixed_level_seed_ = seed;
    if (seed) level_seed_ = *seed;
}

void Game::draw_level_seed() {
    if (fixed_level_seed_) {
        level_seed_ = *fixed_level_seed_;
        return;
    }
    std::random_device device;
    level_seed_ = (static_cast<uint64_t>(device()) << 32) ^ device() ^
                  static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

searcher::Thinker& Game::thinker_for(bool hint) {
    std::unique_ptr<searcher::Thinker>& t = hint ? hint_thinker_ : computer_thinker_;
    if (!t) t = std::make_unique<searcher::Thinker>();
    return *t;
}

void Game::clear_thinkers() {
    if (computer_thinker_) computer_thinker_->clear();
    if (hint_thinker_) hint_thinker_->clear();
}

std::optional<Candidate> Game::think_in_background(bool upper, const searcher::Limits& limits, int level,
                                                  uint64_t draw) {
    // ヒント thinks for whoever asks and scores going round in a circle as
    // the draw it is; the computer pays for it, the more the longer the
    // game, so that a player who is ahead makes progress.
    const bool hint = activity() == Progress::Activity::Hint;
    searcher::Thinker& thinker = thinker_for(hint);
    // The positions before the one on the board, from the record, and the
    // moves played before the board was last turned.
    searcher::History history = searcher::game_history(
        static_cast<std::size_t>(kifu.kifu_tesu()), static_cast<std::size_t>(kifu.tesu() - kifu.kifu_tesu()),
        upper ? +1 : -1,
        [this](std::size_t n, Position& p) {
            kifu.restore(static_cast<int>(n), p);
            return kifu.to_move(static_cast<int>(n));
        },
        hint);
    const searcher::CompactPosition root = searcher::from_rules(pos, upper ? 1 : -1);
    thinker.start(root, limits, std::move(history));
    move_now_ = false;
    std::optional<searcher::SearchResult> result;
    while (!progress_.ending()) {
        if (thinker.wait_for(std::chrono::milliseconds(10))) {
            result = thinker.take();
            break;
        }
        if (move_now_) {
            result = thinker.stop();
            break;
        }
        port.keep_alive();
        timer_tick();
    }
    move_now_ = false;
    if (progress_.ending()) {
        thinker.stop();
        return std::nullopt;
    }

    Candidate answer;  // koma 0: no move
    if (!result || result->best.is_null()) return answer;
    searcher::Move chosen = result->best;
    int score = result->score;
    if (level >= searcher::FIRST_SEARCH_LEVEL) {
        chosen = searcher::choose_move(root, *result, level, draw);
        for (const searcher::RootScore& r : result->root_scores)
            if (r.move == chosen) score = r.score;
    }
    const searcher::RulesMove m = searcher::to_rules_move(root, chosen);
    answer.from_x = m.from_x;
    answer.from_y = m.from_y;
    answer.to_x = m.to_x;
    answer.to_y = m.to_y;
    answer.koma = m.koma;
    answer.moto_koma = is_drop(m.from_x) ? m.koma : pos.BAN[m.from_x][m.from_y];
    answer.score = score;
    return answer;
}

}  // namespace zemtori
