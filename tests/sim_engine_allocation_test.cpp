/*
** sim_engine_allocation_test.cpp: a steady state of a prepared circuit
** allocates nothing after the first.  malloc, calloc and realloc are
** interposed in this test program to count the calls (operator new goes
** through malloc too), as the calculator's own allocation test does.
*/
#include <gtest/gtest.h>

#include <cstddef>

#include "sim/circuit/topology_table.h"
#include "sim/engine/exact_engine.h"
#include "sim/engine/state_space.h"
#include "tests/sim_example.h"

#if defined(__SANITIZE_ADDRESS__)
#define TOLVARIN_COUNT_ALLOCATIONS 0 /* the sanitizer owns malloc */
#else
#define TOLVARIN_COUNT_ALLOCATIONS 1
#endif

#if TOLVARIN_COUNT_ALLOCATIONS
namespace {
bool counting = false;
long allocations = 0;
}  // namespace

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);

void* malloc(size_t n) {
  if (counting) allocations++;
  return __libc_malloc(n);
}
void* calloc(size_t n, size_t size) {
  if (counting) allocations++;
  return __libc_calloc(n, size);
}
void* realloc(void* p, size_t n) {
  if (counting) allocations++;
  return __libc_realloc(p, n);
}
}
#endif

namespace {

/* Every topology and the trap: after one solve of the prepared circuit,
   a sweep of drive frequencies either side, in full and figures alone,
   calls malloc not once.  The count itself is checked to work: preparing
   a circuit must be seen to allocate. */
TEST(SimEngineAllocation, NoneInASteadyStateAfterTheFirst) {
#if !TOLVARIN_COUNT_ALLOCATIONS
  GTEST_SKIP() << "AddressSanitizer replaces malloc; counted in the plain build";
#else
  for (int row = 0; row <= kTopologyCount; row++) {
    const bool trap = row == kTopologyCount;
    const int t = trap ? TopologyByName("pinet-el-tch") : row;
    Circuit c;
    BuildCircuit(ExampleDesign(t), t, trap ? 1 : 0, kPowerCircuit, c);
    ExactWorkspace w;
    allocations = 0;
    counting = true;
    PrepareExact(c, w);
    counting = false;
    EXPECT_GT(allocations, 0) << "the count sees nothing";
    SimResult r;
    SolveExact(w, 3.8, kDetailFull, r);
    ASSERT_TRUE(r.Run.Ok()) << r.Run.Why();
    allocations = 0;
    counting = true;
    for (double mhz : {3.0, 3.4, 3.8, 4.2, 4.6})
      for (int detail : {kDetailFull, kDetailFigures}) SolveExact(w, mhz, detail, r);
    counting = false;
    EXPECT_EQ(allocations, 0) << Topology(t).Name << (trap ? " with the trap" : "");
    EXPECT_TRUE(r.Run.Ok());
  }
#endif
}

/* Every topology and the trap: the systems of a circuit after the first
   are derived in the first one's room, so a prepared circuit's cost does
   not grow by an allocation per ramp step.  The count starts once the
   first system has been handed over. */
TEST(SimEngineAllocation, NoneForEachStateSpaceAfterTheFirst) {
#if !TOLVARIN_COUNT_ALLOCATIONS
  GTEST_SKIP() << "AddressSanitizer replaces malloc; counted in the plain build";
#else
  const std::vector<double> g = {1e3, 500.0, 10.0, 1e-2, 1e-6};
  for (int row = 0; row <= kTopologyCount; row++) {
    const bool trap = row == kTopologyCount;
    const int t = trap ? TopologyByName("pinet-el-tch") : row;
    Circuit c;
    BuildCircuit(ExampleDesign(t), t, trap ? 1 : 0, kPowerCircuit, c);
    for (bool injection : {false, true}) {
      std::size_t visits = 0;
      allocations = 0;
      const Status built = VisitStateSpaces(
          c, g, injection,
          [](std::size_t i, const StateSpace&, void* seen) {
            counting = true;
            *static_cast<std::size_t*>(seen) = i + 1;
          },
          &visits);
      counting = false;
      ASSERT_TRUE(built.Ok()) << built.Why();
      EXPECT_EQ(visits, g.size());
      EXPECT_EQ(allocations, 0) << Topology(t).Name << (trap ? " with the trap" : "")
                                << (injection ? ", injection" : "");
    }
  }
#endif
}

}  // namespace
