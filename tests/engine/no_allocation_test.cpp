// The computer's turn runs its search thousands of times a game and must not
// touch the heap: every map and working value lives in the Engine.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "engine/engine.h"
#include "rules/moves.h"
#include "rules/opening.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t n) {
    ++allocations;
    if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace zemtori {
namespace {

TEST(EngineMemory, TurnPreparationSearchAndMateTestsAllocateNothing) {
    // The counter sees the heap at all.
    const long start = allocations.load();
    ::operator delete(::operator new(16));
    ASSERT_EQ(allocations.load() - start, 1);

    Position pos;
    shoki_haichi(pos);
    rakka(pos, nullptr);
    // Pieces in both hands, so the drop scan and the drop probes run too.
    pos.MOCHI_UE_KOMA[5] = KIN;
    pos.MOCHI_UE_KAZU[5] = 1;
    pos.MOCHI_UE_KOMA[6] = KAKU;
    pos.MOCHI_UE_KAZU[6] = 1;
    pos.MOCHI_UE_KOMA[7] = HU;
    pos.MOCHI_UE_KAZU[7] = 2;
    pos.MOCHI_UE_GOKEI = 4;
    pos.MOCHI_SITA_KOMA[7] = -HU;
    pos.MOCHI_SITA_KAZU[7] = 1;
    pos.MOCHI_SITA_GOKEI = 1;
    Engine e(pos);
    const long before = allocations.load();
    bool found = false;
    for (int level = 1; level <= 3; ++level) {
        e.COM_LEVEL = level;
        kiki_keisan(e);
        tsumi_hantei_ue(e);
        com_junbi(e);
        found = com_search(e);
        kiki_keisan(e);
        tsumi_hantei(e);
        oute_hantei(e);
    }
    EXPECT_EQ(allocations.load() - before, 0);
    EXPECT_TRUE(found);
}

}  // namespace
}  // namespace zemtori
