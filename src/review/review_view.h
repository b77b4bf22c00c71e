// What the game shows of a review: its progress while it runs, a stop the
// player may ask for, and the review once it has ended.  The window
// implements it; without one the review runs and shows nothing.
#pragma once

#include "review/review.h"

namespace zemtori::review {

class ReviewView {
public:
    // The review runs: `done` positions of `total` are reviewed.  Called
    // often while it runs, also with the same numbers.
    virtual void review_progress(int done, int total) = 0;
    // True once the player has asked the running review to stop.
    virtual bool review_stop_requested() = 0;
    // The review has ended, finished or stopped: shows what was done.
    virtual void show_review(const Review& review) = 0;
    // The game the review was of is gone: the review closes.
    virtual void close_review() = 0;

protected:
    ~ReviewView() = default;
};

}  // namespace zemtori::review
