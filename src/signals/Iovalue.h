#pragma once
// Whole values between plant components (a byte for an elevation or a valve position, a word
// for a tank level). Unlike a pin, a source stores its value before offering it, so a
// receiver's handler that reads the source sees the new value; a source has no event of its own.
#include <algorithm>
#include <string>
#include <vector>

#include "signals/Method.h"

template <typename T>
class TIOValue {
 public:
  virtual ~TIOValue() = default;
  TIOValue(const TIOValue&) = delete;
  TIOValue& operator=(const TIOValue&) = delete;

  T Value = 0;
  int Kind;
  std::string Name;

 protected:
  explicit TIOValue(int kind) : Kind(kind) {}
};

template <typename T>
class TInputValue : public TIOValue<T> {
 public:
  TInputValue() : TIOValue<T>(0) {}
  TMethod<T> OnNewData;

  void SetValue(T v) {
    if (v == this->Value) return;
    this->Value = v;
    OnNewData(v);
  }
};

template <typename T>
class TOutputValue : public TIOValue<T> {
 public:
  TOutputValue() : TIOValue<T>(1) {}

  void SetValue(T v) {
    const std::size_t n = FConnections.size();
    this->Value = v;
    for (std::size_t i = 0; i < n; ++i) FConnections[i]->SetValue(v);
  }

  void ConnectTo(TInputValue<T>* r) {
    if (r == nullptr) return;
    if (std::find(FConnections.begin(), FConnections.end(), r) != FConnections.end()) return;
    FConnections.push_back(r);
    r->SetValue(this->Value);
  }

  const std::vector<TInputValue<T>*>& Connections() const { return FConnections; }

 private:
  std::vector<TInputValue<T>*> FConnections;
};
