#pragma once
// One-bit signals: a source (TOutputPin) fans a level out to receivers (TInputPin); a receiver
// fires its change event only when its level really changes. Everything runs synchronously,
// depth first, inside the setter that caused it.
#include <string>
#include <vector>

#include "signals/Method.h"

using TPinChangeEvent = TMethod<bool, void*>;

class TIOPin {
 public:
  virtual ~TIOPin() = default;
  TIOPin(const TIOPin&) = delete;
  TIOPin& operator=(const TIOPin&) = delete;

  bool State = false;
  int Kind;
  std::string Name;
  TPinChangeEvent OnChange;

 protected:
  explicit TIOPin(int kind) : Kind(kind) {}
};

class TInputPin : public TIOPin {
 public:
  TInputPin() : TIOPin(0) {}
  void SetState(bool s);
};

class TOutputPin : public TIOPin {
 public:
  TOutputPin() : TIOPin(1) {}
  // Offers the level to every receiver (even an unchanged one), then updates itself.
  void SetState(bool s);
  // Appends a receiver once and pushes the present level into it; null is ignored.
  void ConnectTo(TInputPin* p);
  // Forgets a receiver (that is going away); its level is left as it is.
  void Disconnect(const TInputPin* p);
  const std::vector<TInputPin*>& Connections() const { return FConnections; }

 private:
  std::vector<TInputPin*> FConnections;
};
