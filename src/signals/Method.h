#pragma once
// A bound method: an object plus one of its member functions, called through a plain function
// pointer. Assigning or invoking one never allocates, and an unassigned one is simply skipped.
#include <cstring>
#include <type_traits>

template <typename... Args>
class TMethod {
 public:
  TMethod() = default;
  TMethod(std::nullptr_t) {}  // NOLINT: allows `Event = nullptr`

  // The object may be of a class derived from the one that declares the method
  // (`TMethod(this, &TBase::Handler)` inside a derived class).
  template <class D, class C>
    requires std::is_base_of_v<C, D>
  TMethod(D* object, void (C::*method)(Args...)) {
    Bind(static_cast<C*>(object), method);
  }

  template <class C>
  void Bind(C* object, void (C::*method)(Args...)) {
    using Ptr = void (C::*)(Args...);
    static_assert(sizeof(Ptr) <= sizeof(FStorage), "member pointer too large");
    FObject = object;
    std::memcpy(FStorage, &method, sizeof(Ptr));
    FThunk = method ? &Thunk<C> : nullptr;
  }

  // Assigned when the method part is present.
  bool Assigned() const { return FThunk != nullptr; }
  explicit operator bool() const { return Assigned(); }
  void* Object() const { return FObject; }

  void operator()(Args... args) const {
    if (FThunk != nullptr) FThunk(FObject, FStorage, args...);
  }

  bool operator==(const TMethod& o) const {
    return FObject == o.FObject && FThunk == o.FThunk &&
           std::memcmp(FStorage, o.FStorage, sizeof(FStorage)) == 0;
  }

 private:
  struct Probe {
    virtual ~Probe() = default;
    void F();
  };
  template <class C>
  static void Thunk(void* object, const unsigned char* storage, Args... args) {
    using Ptr = void (C::*)(Args...);
    Ptr method;
    std::memcpy(&method, storage, sizeof(Ptr));
    (static_cast<C*>(object)->*method)(args...);
  }

  void* FObject = nullptr;
  alignas(void*) unsigned char FStorage[sizeof(void (Probe::*)())] = {};
  void (*FThunk)(void*, const unsigned char*, Args...) = nullptr;
};
