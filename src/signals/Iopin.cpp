#include "signals/Iopin.h"

#include <algorithm>

void TInputPin::SetState(bool s) {
  if (s == State) return;
  State = s;
  OnChange(s, this);
}

void TOutputPin::SetState(bool s) {
  // The count is taken once: a receiver's handler may connect further pins, and those are not
  // offered this level. Indexing (not iterators) keeps the loop valid if the list grows.
  const std::size_t n = FConnections.size();
  for (std::size_t i = 0; i < n; ++i) FConnections[i]->SetState(s);
  if (State != s) {
    State = s;
    OnChange(s, this);
  }
  State = s;
}

void TOutputPin::ConnectTo(TInputPin* p) {
  if (p == nullptr) return;
  if (std::find(FConnections.begin(), FConnections.end(), p) != FConnections.end()) return;
  FConnections.push_back(p);
  p->SetState(State);
}

void TOutputPin::Disconnect(const TInputPin* p) {
  FConnections.erase(std::remove(FConnections.begin(), FConnections.end(), p), FConnections.end());
}
