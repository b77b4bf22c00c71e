// What the game is doing at this moment, as one value with one owner.
//
// Between events the game waits.  An event may start something that runs
// inside it, through waits in which the window paints and may take a close:
// a move with its fall, the pieces settling when a game starts or the board
// is turned, the computer's turn (its thinking, then its move), ヒント, 解析.
// Each of those is an activity; it begins and ends through the named calls
// below, which refuse what cannot happen from where the game stands (a hint
// while the computer thinks, a move during a review), and once the program
// is ending nothing begins any more.
//
// While a move or a fall is under way the board is not a position of the
// record: settled() says so, and whoever keeps the game then keeps the game
// as it stood before that activity began.
#pragma once

namespace zemtori {

class Progress {
public:
    enum class Activity {
        Waiting,           // for a click or a command
        PersonMove,        // a person's move is made, falls and is written
        Settling,          // a start command or 反転 lets the pieces fall
        ComputerThinking,  // the computer looks for its move
        ComputerMove,      // the computer's piece blinks, moves and falls
        Hint,              // ヒント thinks
        Review,            // 解析 looks at every position of the record
        Ending,            // the program ends: nothing happens any more
    };

    Activity activity() const { return now_; }
    bool waiting() const { return now_ == Activity::Waiting; }
    bool ending() const { return now_ == Activity::Ending; }
    // The board is a position of the record: no move and no fall under way.
    bool settled() const {
        return now_ != Activity::PersonMove && now_ != Activity::Settling && now_ != Activity::ComputerMove;
    }

    // The transitions.  Each answers whether it happened; a refused one
    // changes nothing.
    bool begin_person_move() { return from_waiting(Activity::PersonMove); }
    bool begin_settling() { return from_waiting(Activity::Settling); }
    bool begin_computer_turn() { return from_waiting(Activity::ComputerThinking); }
    // The computer has chosen: its move is made from here on.
    bool begin_computer_move() { return step(Activity::ComputerThinking, Activity::ComputerMove); }
    bool begin_hint() { return from_waiting(Activity::Hint); }
    bool begin_review() { return from_waiting(Activity::Review); }
    // The activity is over and the game waits again (also when it ended
    // early: the computer found no move, a review was stopped).  Once the
    // program is ending it stays ending.
    void done() {
        if (now_ != Activity::Ending) now_ = Activity::Waiting;
    }
    // The program ends, whatever was under way.
    void end() { now_ = Activity::Ending; }

private:
    bool from_waiting(Activity next) { return step(Activity::Waiting, next); }
    bool step(Activity from, Activity next) {
        if (now_ != from) return false;
        now_ = next;
        return true;
    }

    Activity now_ = Activity::Waiting;
};

}  // namespace zemtori
