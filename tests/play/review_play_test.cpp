// 解析 on a game in memory: the review of the moves the game made, told to
// the view; choosing a move steps the record and frames the better move; a
// new game closes the review; without a move the command is refused.
#include <functional>
#include <optional>

#include "play_fixture.h"
#include "review/review_view.h"

namespace zemtori {
namespace {

struct FakeView final : review::ReviewView {
    int progress_calls = 0, last_done = -1, last_total = -1, closed = 0;
    std::optional<review::Review> shown;
    void review_progress(int done, int total) override {
        ++progress_calls;
        last_done = done;
        last_total = total;
    }
    bool review_stop_requested() override { return false; }
    void show_review(const review::Review& r) override { shown = r; }
    void close_review() override { ++closed; }
};

struct ReviewPlay : test::PlayTest {
    FakeView view;
    void SetUp() override {
        test::PlayTest::SetUp();
        game.review_view = &view;
        game.review_limits = searcher::Limits{0, 5000, 0};
    }
};

TEST_F(ReviewPlay, AGameBetweenPeopleIsReviewedAndAChosenMoveSteppedTo) {
    game.menu("START");
    move(5, 7, 5, 6);  // 先手 (the lower side)
    move(5, 3, 5, 4);  // 後手
    move(4, 7, 4, 6);
    ASSERT_EQ(game.view().kifu.kifu_saigo(), 3);

    game.menu("KAISEKI");
    ASSERT_TRUE(view.shown.has_value());
    EXPECT_EQ(view.last_done, 4);
    EXPECT_EQ(view.last_total, 4);
    const std::vector<review::MoveReview> moves = view.shown->moves();
    ASSERT_EQ(moves.size(), 3u);
    EXPECT_EQ(moves[0].mover, -1);
    EXPECT_EQ(moves[1].mover, +1);
    EXPECT_EQ(moves[2].mover, -1);
    EXPECT_TRUE(moves[1].played_known);
    EXPECT_EQ(moves[1].played.from_x, 5);
    EXPECT_EQ(moves[1].played.from_y, 3);
    EXPECT_EQ(game.view().kifu.kifu_tesu(), 3) << "the review itself steps nothing";

    // Move 2, 後手's, chosen: the position it was made in, 後手 to move there,
    // the better move framed.
    game.review_chosen(2);
    const auto& v = game.view();
    EXPECT_EQ(v.kifu.kifu_tesu(), 1);
    EXPECT_EQ(v.turn.TEBAN, GOTE_GAWA);
    ASSERT_TRUE(v.hint.has_value());
    EXPECT_EQ(v.hint->to_x, moves[1].best.to_x);
    EXPECT_EQ(v.hint->koma, moves[1].best.koma);
    Position want;
    v.kifu.restore(1, want);
    test::expect_same_board(v.pos, want);

    // The next command takes the frames away; a new game closes the review.
    game.menu("STOP");
    EXPECT_FALSE(v.hint.has_value());
    game.menu("CANCEL");
    EXPECT_EQ(view.closed, 1);
    EXPECT_FALSE(game.shown_review().has_value());
    game.review_chosen(2);
    EXPECT_FALSE(v.hint.has_value()) << "no review, nothing to choose";
}

// A review belongs to the record it was made of: once that record changes
// (a different move after 戻, 反転, a new game) the review's window closes
// and choosing a move of it steps nothing.  Stepping with 戻 and 進 alone
// changes no record, and the review stays.
TEST_F(ReviewPlay, AReviewGoesWithTheRecordItWasMadeOf) {
    const std::function<void()> changes[] = {
        [&] {
            game.menu("REPLAY");
            game.menu("REPLAY");
            game.menu("REPLAY");
            move(3, 7, 3, 6);  // another first move than the review's
        },
        [&] { game.menu("REVERSE"); },
        [&] { game.menu("CANCEL"); },
    };
    for (const auto& change : changes) {
        game.menu("CANCEL");
        game.menu("START");
        move(5, 7, 5, 6);
        move(5, 3, 5, 4);
        move(4, 7, 4, 6);
        view.closed = 0;
        game.menu("KAISEKI");
        ASSERT_TRUE(game.shown_review().has_value());
        game.menu("REPLAY");
        game.menu("AFTER");
        ASSERT_TRUE(game.shown_review().has_value()) << "stepping changes no record";
        EXPECT_EQ(view.closed, 0);

        change();
        EXPECT_FALSE(game.shown_review().has_value());
        EXPECT_GE(view.closed, 1);
        const Position before = game.view().pos;
        const int shown = game.view().kifu.kifu_tesu();
        game.review_chosen(2);
        EXPECT_EQ(game.view().kifu.kifu_tesu(), shown);
        EXPECT_FALSE(game.view().hint.has_value());
        test::expect_same_board(game.view().pos, before);
    }
}

// 解析 reviews only the game on the board: after 最初 the game given up is not
// reviewed (its entries stay in memory until something is stored over them).
TEST_F(ReviewPlay, AGameGivenUpIsNotReviewed) {
    game.menu("START");
    move(5, 7, 5, 6);
    move(5, 3, 5, 4);
    game.menu("CANCEL");
    ASSERT_GE(game.view().kifu.kifu_saigo(), 1) << "the old entries are still there";
    game.menu("KAISEKI");
    EXPECT_EQ(sound.count(test::KINSHI_WAV), 1);
    EXPECT_FALSE(view.shown.has_value());
    EXPECT_EQ(game.mode(), Game::PlayMode::NotStarted);
}

TEST_F(ReviewPlay, WithoutAMoveTheCommandIsRefused) {
    game.menu("KAISEKI");
    EXPECT_EQ(sound.count(test::KINSHI_WAV), 1);
    EXPECT_FALSE(view.shown.has_value());
    EXPECT_EQ(view.progress_calls, 0);
}

}  // namespace
}  // namespace zemtori
