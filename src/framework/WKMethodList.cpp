#include "framework/WKMethodList.h"

int TWKMethodList::Remove(const TWKMethod& method) {
  for (int i = Count() - 1; i >= 0; --i) {
    if (Items_[static_cast<size_t>(i)] == method) {
      Delete(i);
      return i;
    }
  }
  return -1;
}

void TWKMethodList::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  Items_.erase(Items_.begin() + index);
}

int TWKMethodList::IndexOf(const TWKMethod& method) const {
  for (int i = 0; i < Count(); ++i)
    if (Items_[static_cast<size_t>(i)] == method) return i;
  return -1;
}

void TWKMethodList::CallAll() const {
  // Index-based with a copy of each entry: handlers may add or remove entries meanwhile.
  for (size_t i = 0; i < Items_.size(); ++i) {
    const TWKMethod m = Items_[i];
    m();
  }
}
