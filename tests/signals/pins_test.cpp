#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "signals/Iopin.h"

namespace {

struct Recorder {
  std::vector<std::string>* log;
  std::string name;
  void Changed(bool s, void*) { log->push_back(name + (s ? "=1" : "=0")); }
};

TEST(OutputPin, FansOutInConnectionOrderThenFiresItsOwnEvent) {
  std::vector<std::string> log;
  TOutputPin out;
  TInputPin a, b, c;
  Recorder ra{&log, "a"}, rb{&log, "b"}, rc{&log, "c"}, ro{&log, "out"};
  a.OnChange = TPinChangeEvent(&ra, &Recorder::Changed);
  b.OnChange = TPinChangeEvent(&rb, &Recorder::Changed);
  c.OnChange = TPinChangeEvent(&rc, &Recorder::Changed);
  out.OnChange = TPinChangeEvent(&ro, &Recorder::Changed);
  out.ConnectTo(&a);
  out.ConnectTo(&b);
  out.ConnectTo(&c);
  out.SetState(true);
  EXPECT_EQ(log, (std::vector<std::string>{"a=1", "b=1", "c=1", "out=1"}));
}

}  // namespace
