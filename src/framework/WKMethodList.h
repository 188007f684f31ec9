// Method pointers as (procedure, data object) pairs, comparable so that a handler can be
// removed again, and the ordered list that holds them.
#pragma once

#include <cstddef>
#include <vector>

using TWKProcedure = void (*)(void* data);

struct TWKMethod {
  TWKProcedure Code = nullptr;
  void* Data = nullptr;

  bool operator==(const TWKMethod&) const = default;
  explicit operator bool() const { return Code != nullptr; }
  void operator()() const {
    if (Code != nullptr) Code(Data);
  }
};

namespace wkmethod_detail {
template <class>
struct MemberClass;
template <class C>
struct MemberClass<void (C::*)()> {
  using Type = C;
};
template <class C, void (C::*Member)()>
void Thunk(void* data) {
  (static_cast<C*>(data)->*Member)();
}
}  // namespace wkmethod_detail

// MethodOf<&TFoo::UpdateControls>(foo): a method pointer calling foo->UpdateControls()
// (virtually when the member is virtual). Equal for the same member and object.
template <auto Member>
TWKMethod MethodOf(typename wkmethod_detail::MemberClass<decltype(Member)>::Type* object) {
  using C = typename wkmethod_detail::MemberClass<decltype(Member)>::Type;
  return {&wkmethod_detail::Thunk<C, Member>, static_cast<void*>(object)};
}

class TWKMethodList {
 public:
  void Add(const TWKMethod& method) { Items_.push_back(method); }
  // Searches from the last entry to the first for the same procedure and data, deletes it
  // and returns its index; -1 when absent.
  int Remove(const TWKMethod& method);
  void Delete(int index);
  void Clear() { Items_.clear(); }
  int Count() const { return static_cast<int>(Items_.size()); }
  TWKMethod Items(int index) const { return Items_.at(static_cast<size_t>(index)); }
  int IndexOf(const TWKMethod& method) const;

  // Calls every entry in order; entries appended meanwhile are called too, and the walk
  // never runs past the list when a handler removes entries.
  void CallAll() const;

 private:
  std::vector<TWKMethod> Items_;
};
