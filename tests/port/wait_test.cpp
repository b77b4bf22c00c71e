// The busy wait on the time of day, with the headless window's fake clock.
#include <gtest/gtest.h>

#include <stdexcept>

#include "port/headless_port.h"
#include "port/wait.h"

namespace zemtori {
namespace {

// A fake clock that may be set back once, at the first pause, by `setback`
// seconds; it gives up instead of letting a test hang.
class TestClock : public HeadlessPort {
public:
    explicit TestClock(double setback = 0) : setback_(setback) {}
    void sleep(double seconds) override {
        if (++sleeps > 1000000) throw std::runtime_error("the wait never ended");
        slept += seconds;
        HeadlessPort::sleep(seconds);
        if (!done_) {
            done_ = true;
            now -= setback_;
            if (now < 0) now += 86400.0;
        }
    }
    int sleeps = 0;
    double slept = 0;

private:
    double setback_;
    bool done_ = false;
};

TEST(BusyWait, EndsOnceTheTimeHasPassed) {
    TestClock port;
    port.now = 36000.0;
    matsu(port, 0.5);
    EXPECT_GE(port.now, 36000.5 - 1e-9);
    EXPECT_LT(port.now, 36000.5 + 1e-6);
}

TEST(BusyWait, EndsAcrossMidnight) {
    for (double start : {86399.9, 86399.999, 86399.5}) {
        SCOPED_TRACE(start);
        TestClock port;
        port.now = start;
        ASSERT_NO_THROW(matsu(port, 0.5));
        // The fake clock wraps like the real one; the wait is neither cut
        // short nor stretched by midnight.
        const double expected = start + 0.5 - 86400.0;
        EXPECT_GE(port.now, expected - 1e-9);
        EXPECT_LT(port.now, expected + 1e-6);
    }
}

TEST(BusyWait, NothingToWaitForReturnsAtOnce) {
    HeadlessPort port;
    port.now = 1234.5;
    matsu(port, 0);
    matsu(port, -1);
    EXPECT_EQ(port.now, 1234.5);
}

TEST(BusyWait, ClockSetBackByMoreThanTheWaitCannotHoldItForever) {
    TestClock port(3600.0);
    port.now = 40000.0;
    EXPECT_NO_THROW(matsu(port, 0.2));
    EXPECT_LT(port.sleeps, 1000);
}

TEST(BusyWait, ClockSetBackALittleStillWaitsTheFullTime) {
    TestClock port(0.1);
    port.now = 40000.0;
    matsu(port, 0.3);
    EXPECT_GE(port.slept, 0.3 - 1e-9);
    EXPECT_LT(port.slept, 0.3 + 0.003);
}

// Between its slices the wait lets the window take its events, so that a
// close or an Esc ends it at once instead of after the whole pause.
TEST(BusyWait, TheWindowTakesItsEventsBetweenSlicesAndAnEndingProgramStopsTheWait) {
    TestClock port;
    port.now = 40000.0;
    int looks = 0;
    port.on_keep_alive = [&] {
        EXPECT_NEAR(port.slept, 0.001 * ++looks, 1e-9) << "one look after every slice";
        if (looks == 5) port.end_program();  // Esc
    };
    EXPECT_FALSE(matsu(port, 0.4));
    EXPECT_EQ(looks, 5);
    EXPECT_NEAR(port.slept, 0.005, 1e-9) << "no wait after the Esc";

    // Once the program is ending, no wait waits at all.
    EXPECT_FALSE(matsu(port, 0.2));
    EXPECT_EQ(port.sleeps, 5);
    EXPECT_EQ(looks, 5);

    TestClock quiet;
    EXPECT_TRUE(matsu(quiet, 0.01));
    EXPECT_TRUE(matsu(quiet, 0));
}

}  // namespace
}  // namespace zemtori
