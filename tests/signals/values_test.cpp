#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "signals/Iobyte.h"
#include "signals/Ioword.h"

namespace {

// Records every value a receiver announces, together with what its source held at that moment.
template <typename T>
struct Probe {
  std::string name;
  std::vector<std::string>* log;
  const TOutputValue<T>* source = nullptr;
  void NewData(T v) {
    std::string entry = name + "=" + std::to_string(v);
    if (source != nullptr) entry += " src=" + std::to_string(source->Value);
    log->push_back(entry);
  }
};

template <typename Pair>
class Values : public ::testing::Test {};

using Widths = ::testing::Types<std::pair<TInputByte, TOutputByte>, std::pair<TInputWord, TOutputWord>>;
TYPED_TEST_SUITE(Values, Widths);

TYPED_TEST(Values, ReceiverAnnouncesOnlyRealChanges) {
  using In = typename TypeParam::first_type;
  using T = decltype(In::Value);
  std::vector<std::string> log;
  In in;
  Probe<T> p{"in", &log};
  in.OnNewData = TMethod<T>(&p, &Probe<T>::NewData);
  EXPECT_EQ(in.Value, 0);
  EXPECT_EQ(in.Kind, 0);
  in.SetValue(0);
  EXPECT_TRUE(log.empty());
  in.SetValue(90);
  in.SetValue(90);
  EXPECT_EQ(log, (std::vector<std::string>{"in=90"}));
}

TYPED_TEST(Values, SourceStoresBeforeOfferingInConnectionOrder) {
  using In = typename TypeParam::first_type;
  using Out = typename TypeParam::second_type;
  using T = decltype(In::Value);
  std::vector<std::string> log;
  Out out;
  In a, b;
  Probe<T> pa{"a", &log, &out}, pb{"b", &log, &out};
  a.OnNewData = TMethod<T>(&pa, &Probe<T>::NewData);
  b.OnNewData = TMethod<T>(&pb, &Probe<T>::NewData);
  EXPECT_EQ(out.Kind, 1);
  out.ConnectTo(&a);
  out.ConnectTo(&b);
  out.SetValue(7);
  EXPECT_EQ(log, (std::vector<std::string>{"a=7 src=7", "b=7 src=7"}));
}

TYPED_TEST(Values, ConnectPushesTheHeldValueAndIgnoresNullAndDuplicates) {
  using In = typename TypeParam::first_type;
  using Out = typename TypeParam::second_type;
  using T = decltype(In::Value);
  std::vector<std::string> log;
  Out out;
  In r;
  Probe<T> p{"r", &log};
  r.OnNewData = TMethod<T>(&p, &Probe<T>::NewData);
  out.SetValue(45);
  out.ConnectTo(nullptr);
  EXPECT_TRUE(out.Connections().empty());
  out.ConnectTo(&r);
  EXPECT_EQ(log, (std::vector<std::string>{"r=45"}));
  r.SetValue(3);
  out.ConnectTo(&r);
  EXPECT_EQ(out.Connections().size(), 1u);
  EXPECT_EQ(r.Value, 3) << "a second connect pushes nothing";
  out.SetValue(45);  // re-offered: the receiver changed directly is brought back
  EXPECT_EQ(r.Value, 45);
  EXPECT_EQ(log, (std::vector<std::string>{"r=45", "r=3", "r=45"}));
}

TYPED_TEST(Values, ExtremesPassThroughUnchanged) {
  using In = typename TypeParam::first_type;
  using Out = typename TypeParam::second_type;
  using T = decltype(In::Value);
  constexpr T top = std::numeric_limits<T>::max();  // 255 or 65535
  std::vector<std::string> log;
  Out out;
  In r;
  Probe<T> p{"r", &log};
  r.OnNewData = TMethod<T>(&p, &Probe<T>::NewData);
  out.ConnectTo(&r);
  out.SetValue(top);
  EXPECT_EQ(r.Value, top);
  EXPECT_EQ(log, (std::vector<std::string>{"r=" + std::to_string(top)}));
  out.SetValue(0);
  EXPECT_EQ(r.Value, 0);
}

// A receiver's handler that connects a new receiver to the source being driven: the count of
// receivers is taken before the loop, so the newcomer only gets the connect-time push.
struct Grower {
  TOutputByte* out;
  TInputByte* extra;
  void NewData(unsigned char) { out->ConnectTo(extra); }
};

TEST(OutputByte, ReceiverAddedDuringTheLoopOnlyGetsTheConnectPush) {
  TOutputByte out;
  TInputByte first, extra;
  std::vector<std::string> log;
  Probe<unsigned char> pe{"extra", &log};
  extra.OnNewData = TByteDataEvent(&pe, &Probe<unsigned char>::NewData);
  Grower g{&out, &extra};
  first.OnNewData = TByteDataEvent(&g, &Grower::NewData);
  out.ConnectTo(&first);
  out.SetValue(9);
  // The source stored 9 before offering it, so the connect push already carries 9.
  EXPECT_EQ(log, (std::vector<std::string>{"extra=9"}));
  EXPECT_EQ(out.Connections().size(), 2u);
}

TEST(InputWord, ComparesAtSixteenBits) {
  TInputWord w;
  std::vector<std::string> log;
  Probe<unsigned short> p{"w", &log};
  w.OnNewData = TWordDataEvent(&p, &Probe<unsigned short>::NewData);
  w.SetValue(256);  // differs from 0 only above the low byte
  EXPECT_EQ(log, (std::vector<std::string>{"w=256"}));
}

}  // namespace
