// Counts every heap allocation of this test program, to show that driving pins allocates nothing
// once the wiring is in place.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "signals/Iobyte.h"
#include "signals/Iopin.h"

namespace {
std::atomic<long> gAllocations{0};
}  // namespace

void* operator new(std::size_t size) {
  ++gAllocations;
  if (void* p = std::malloc(size != 0 ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  ++gAllocations;
  return std::malloc(size != 0 ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return ::operator new(size, tag);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

struct Lamp {
  long changes = 0;
  void SetState(bool, void*) { ++changes; }
};

struct Meter {
  long sum = 0;
  void SetMeterValueB(unsigned char v) { sum += v; }
};

TEST(Allocation, TheCounterSeesOrdinaryAllocations) {
  // The pointer escapes through a volatile, so the compiler cannot elide the pair.
  static int* volatile sink = nullptr;
  const long before = gAllocations.load();
  sink = new int(5);
  delete sink;
  EXPECT_EQ(gAllocations.load() - before, 1);
}

TEST(Allocation, HundredThousandPinChangesThroughThreeReceiversAllocateNothing) {
  TOutputPin out;
  TInputPin r1, r2, r3;
  Lamp l1, l2, l3, own;
  r1.OnChange = TPinChangeEvent(&l1, &Lamp::SetState);
  r2.OnChange = TPinChangeEvent(&l2, &Lamp::SetState);
  r3.OnChange = TPinChangeEvent(&l3, &Lamp::SetState);
  out.OnChange = TPinChangeEvent(&own, &Lamp::SetState);
  out.ConnectTo(&r1);
  out.ConnectTo(&r2);
  out.ConnectTo(&r3);

  const long before = gAllocations.load();
  for (int i = 0; i < 100000; ++i) out.SetState((i & 1) == 0);
  const long allocated = gAllocations.load() - before;

  EXPECT_EQ(allocated, 0);
  // Every change reached every handler, so the loop really did the work.
  EXPECT_EQ(l1.changes, 100000);
  EXPECT_EQ(l2.changes, 100000);
  EXPECT_EQ(l3.changes, 100000);
  EXPECT_EQ(own.changes, 100000);
}

TEST(Allocation, ByteChangesAllocateNothing) {
  TOutputByte out;
  TInputByte r1, r2;
  Meter m1, m2;
  r1.OnNewData = TByteDataEvent(&m1, &Meter::SetMeterValueB);
  r2.OnNewData = TByteDataEvent(&m2, &Meter::SetMeterValueB);
  out.ConnectTo(&r1);
  out.ConnectTo(&r2);
  const long before = gAllocations.load();
  for (int i = 0; i < 10000; ++i) out.SetValue(static_cast<unsigned char>(i % 91));
  EXPECT_EQ(gAllocations.load() - before, 0);
  EXPECT_GT(m1.sum, 0);
  EXPECT_EQ(m1.sum, m2.sum);
}

}  // namespace
