#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "signals/Iopin.h"

namespace {

using Log = std::vector<std::string>;

// Writes "name=level" for every event it receives and remembers the last sender.
struct Recorder {
  Log* log;
  std::string name;
  void* lastSender = nullptr;
  void Changed(bool s, void* sender) {
    log->push_back(name + (s ? "=1" : "=0"));
    lastSender = sender;
  }
};

// One source with three receivers a, b, c (connected in that order), every pin recording.
struct FanOut : ::testing::Test {
  Log log;
  TOutputPin out;
  TInputPin a, b, c;
  Recorder ra{&log, "a"}, rb{&log, "b"}, rc{&log, "c"}, ro{&log, "out"};

  void SetUp() override {
    a.OnChange = TPinChangeEvent(&ra, &Recorder::Changed);
    b.OnChange = TPinChangeEvent(&rb, &Recorder::Changed);
    c.OnChange = TPinChangeEvent(&rc, &Recorder::Changed);
    out.OnChange = TPinChangeEvent(&ro, &Recorder::Changed);
    out.ConnectTo(&a);
    out.ConnectTo(&b);
    out.ConnectTo(&c);
  }
};

TEST(InputPin, FiresOnlyWhenItsLevelChanges) {
  Log log;
  TInputPin pin;
  Recorder r{&log, "p"};
  pin.OnChange = TPinChangeEvent(&r, &Recorder::Changed);
  EXPECT_FALSE(pin.State);
  EXPECT_EQ(pin.Kind, 0);
  pin.SetState(false);
  EXPECT_TRUE(log.empty());
  pin.SetState(true);
  pin.SetState(true);
  EXPECT_EQ(log, (Log{"p=1"}));
  EXPECT_EQ(r.lastSender, &pin);
  pin.SetState(false);
  EXPECT_EQ(log, (Log{"p=1", "p=0"}));
}

TEST(InputPin, UnassignedEventIsSkipped) {
  TInputPin pin;
  EXPECT_FALSE(pin.OnChange.Assigned());
  pin.SetState(true);
  EXPECT_TRUE(pin.State);
}

TEST_F(FanOut, ReceiversFireInConnectionOrderThenTheSourceItself) {
  EXPECT_EQ(out.Kind, 1);
  out.SetState(true);
  EXPECT_EQ(log, (Log{"a=1", "b=1", "c=1", "out=1"}));
  EXPECT_EQ(ro.lastSender, &out);
  EXPECT_EQ(rb.lastSender, &b);
  log.clear();
  out.SetState(false);
  EXPECT_EQ(log, (Log{"a=0", "b=0", "c=0", "out=0"}));
}

TEST_F(FanOut, ReofferingTheSameLevelRestoresOnlyAReceiverChangedDirectly) {
  out.SetState(true);
  log.clear();
  out.SetState(true);
  EXPECT_TRUE(log.empty()) << "nobody changed, nobody fires";

  b.SetState(false);  // driven directly, bypassing the source
  log.clear();
  out.SetState(true);
  EXPECT_EQ(log, (Log{"b=1"})) << "the source's own state did not change, so it stays quiet";
  EXPECT_TRUE(b.State);
}

TEST_F(FanOut, ReceiversSeeTheSourceStillAtItsOldLevel) {
  // The source updates itself after its receivers, so a handler reading it sees the old level.
  struct Reader {
    TOutputPin* src;
    std::vector<bool> seen;
    void Changed(bool, void*) { seen.push_back(src->State); }
  } reader{&out, {}};
  b.OnChange = TPinChangeEvent(&reader, &Reader::Changed);
  out.SetState(true);
  EXPECT_EQ(reader.seen, (std::vector<bool>{false}));
  EXPECT_TRUE(out.State);
}

TEST(Connecting, PushesTheSourceLevelAtOnce) {
  Log log;
  TOutputPin out;
  TInputPin late, quiet, stale;
  Recorder rl{&log, "late"}, rq{&log, "quiet"}, rs{&log, "stale"};
  late.OnChange = TPinChangeEvent(&rl, &Recorder::Changed);
  quiet.OnChange = TPinChangeEvent(&rq, &Recorder::Changed);
  stale.OnChange = TPinChangeEvent(&rs, &Recorder::Changed);

  out.ConnectTo(&quiet);  // both false: nothing to announce
  EXPECT_TRUE(log.empty());

  stale.SetState(true);
  log.clear();
  out.ConnectTo(&stale);  // a receiver ahead of its source is pulled back
  EXPECT_EQ(log, (Log{"stale=0"}));

  out.SetState(true);
  log.clear();
  out.ConnectTo(&late);
  EXPECT_EQ(log, (Log{"late=1"}));
  EXPECT_EQ(out.Connections(), (std::vector<TInputPin*>{&quiet, &stale, &late}));
}

TEST(Connecting, IgnoresNullAndDuplicateReceivers) {
  Log log;
  TOutputPin out;
  TInputPin a;
  Recorder ra{&log, "a"};
  a.OnChange = TPinChangeEvent(&ra, &Recorder::Changed);
  out.SetState(true);
  out.ConnectTo(nullptr);
  EXPECT_TRUE(out.Connections().empty());
  out.ConnectTo(&a);
  a.SetState(false);
  out.ConnectTo(&a);  // already listed: no second entry and no second push
  EXPECT_EQ(out.Connections().size(), 1u);
  EXPECT_EQ(log, (Log{"a=1", "a=0"}));
  EXPECT_FALSE(a.State);
  out.SetState(true);
  EXPECT_EQ(log, (Log{"a=1", "a=0", "a=1"})) << "one entry means one offer";
}

TEST(FanIn, TheLastWriterWins) {
  TOutputPin s1, s2;
  TInputPin shared;
  s1.ConnectTo(&shared);
  s2.ConnectTo(&shared);
  s1.SetState(true);
  EXPECT_TRUE(shared.State);
  s2.SetState(false);
  EXPECT_FALSE(shared.State) << "no wired-OR";
  s1.SetState(true);
  EXPECT_TRUE(shared.State) << "re-offered although s1 already was true";
}

// Handlers that set pins of the very fan-out that is being driven.
struct Reentrant : FanOut {
  // On a rising a, drive c directly: c fires before b, inside a's handler.
  void RaiseC(bool s, void* sender) {
    ra.Changed(s, sender);
    if (s) c.SetState(true);
  }
  // On a rising a, pull the source back to false (a feedback loop one level deep).
  void PullSourceLow(bool s, void* sender) {
    ra.Changed(s, sender);
    if (s) out.SetState(false);
  }
  // On a rising a, connect a fourth receiver to the source being driven.
  TInputPin d;
  Recorder rd{&log, "d"};
  void ConnectD(bool s, void* sender) {
    ra.Changed(s, sender);
    if (s) out.ConnectTo(&d);
  }
};

TEST_F(Reentrant, ChangesInsideAHandlerRunDepthFirst) {
  a.OnChange = TPinChangeEvent(this, &Reentrant::RaiseC);
  out.SetState(true);
  EXPECT_EQ(log, (Log{"a=1", "c=1", "b=1", "out=1"}));
}

TEST_F(Reentrant, TheOuterLoopGoesOnWithTheLevelItWasGiven) {
  a.OnChange = TPinChangeEvent(this, &Reentrant::PullSourceLow);
  out.SetState(true);
  // The inner call offers false to all three and finds the source already false; the outer
  // call then continues with true for b and c and finally raises the source.
  EXPECT_EQ(log, (Log{"a=1", "a=0", "b=1", "c=1", "out=1"}));
  EXPECT_FALSE(a.State);
  EXPECT_TRUE(b.State);
  EXPECT_TRUE(c.State);
  EXPECT_TRUE(out.State);
}

TEST_F(Reentrant, AReceiverConnectedDuringTheLoopIsNotOfferedThatLevel) {
  d.OnChange = TPinChangeEvent(&rd, &Recorder::Changed);
  a.OnChange = TPinChangeEvent(this, &Reentrant::ConnectD);
  out.SetState(true);
  // d was pushed the source's level at connect time (still false) and then left alone.
  EXPECT_EQ(log, (Log{"a=1", "b=1", "c=1", "out=1"}));
  EXPECT_FALSE(d.State);
  EXPECT_EQ(out.Connections().size(), 4u);
  out.SetState(false);
  out.SetState(true);
  EXPECT_TRUE(d.State);
}

TEST(OutputPin, OwnEventOnlyOnChangeAndStateAlwaysTheLastLevel) {
  Log log;
  TOutputPin out;
  Recorder ro{&log, "out"};
  out.OnChange = TPinChangeEvent(&ro, &Recorder::Changed);
  out.SetState(false);
  EXPECT_TRUE(log.empty());
  out.SetState(true);
  out.SetState(true);
  EXPECT_EQ(log, (Log{"out=1"}));
  EXPECT_TRUE(out.State);
}

// A handler declared by a base class can be bound through a derived object.
struct BaseDevice {
  int changes = 0;
  void SetRelayState(bool, void*) { ++changes; }
};
struct DerivedDevice : BaseDevice {
  TInputPin coil;
  DerivedDevice() { coil.OnChange = TPinChangeEvent(this, &BaseDevice::SetRelayState); }
};

TEST(BoundMethod, BindsABaseClassHandlerAndComparesByTarget) {
  DerivedDevice dev;
  dev.coil.SetState(true);
  EXPECT_EQ(dev.changes, 1);
  EXPECT_EQ(dev.coil.OnChange.Object(), static_cast<BaseDevice*>(&dev));
  BaseDevice other;
  EXPECT_EQ(dev.coil.OnChange, TPinChangeEvent(&dev, &BaseDevice::SetRelayState));
  EXPECT_FALSE(dev.coil.OnChange == TPinChangeEvent(&other, &BaseDevice::SetRelayState));
  dev.coil.OnChange = nullptr;
  EXPECT_FALSE(dev.coil.OnChange.Assigned());
  dev.coil.SetState(false);
  EXPECT_EQ(dev.changes, 1);
}

}  // namespace
