#include "framework/WKProperties.h"

#include <cstring>

TWKCustomProperties::~TWKCustomProperties() {
  // Derived classes release in their own destructor; the base one only frees.
  Items_.clear();
}

int TWKCustomProperties::IndexOf(int32_t identifier) const {
  for (int i = Count() - 1; i >= 0; --i)
    if (Items_[static_cast<size_t>(i)]->Identifier == identifier) return i;
  return -1;
}

TWKPropertyRecord& TWKCustomProperties::SetRecord(int32_t identifier, uint32_t type, uint32_t size,
                                                  const void* data) {
  auto record = std::make_unique<TWKPropertyRecord>();
  record->Identifier = identifier;
  record->Type = type;
  record->Size = size;
  record->Data = std::make_unique<uint8_t[]>(size);
  if (size != 0 && data != nullptr) std::memcpy(record->Data.get(), data, size);
  const int index = IndexOf(identifier);
  if (index < 0) {
    Items_.push_back(std::move(record));
    return *Items_.back();
  }
  auto& slot = Items_[static_cast<size_t>(index)];
  ReleaseItem(*slot);
  slot = std::move(record);
  return *slot;
}

void TWKCustomProperties::SetValue(int32_t identifier, uint32_t type, uint32_t size,
                                   const void* data) {
  SetRecord(identifier, type, size, data);
}

void TWKCustomProperties::SetInteger(int32_t identifier, int32_t value) {
  SetRecord(identifier, WKPROP_INTEGER, sizeof value, &value);
}

void TWKCustomProperties::SetDouble(int32_t identifier, double value) {
  SetRecord(identifier, WKPROP_DOUBLE, sizeof value, &value);
}

void TWKCustomProperties::SetString(int32_t identifier, const std::string& text) {
  SetRecord(identifier, WKPROP_STRING, static_cast<uint32_t>(text.size()), text.data());
}

void TWKCustomProperties::Delete(int32_t identifier) {
  const int index = IndexOf(identifier);
  if (index < 0) return;
  ReleaseItem(*Items_[static_cast<size_t>(index)]);
  Items_.erase(Items_.begin() + index);
}

void TWKCustomProperties::Clear() {
  for (auto& record : Items_) ReleaseItem(*record);
  Items_.clear();
}

TWKVariant TWKCustomProperties::GetVariant(int index) const {
  if (index < 0 || index >= Count()) return {};
  const TWKPropertyRecord& r = *Items_[static_cast<size_t>(index)];
  if (r.Type == WKPROP_INTEGER && r.Size == sizeof(int32_t)) {
    int32_t v;
    std::memcpy(&v, r.Data.get(), sizeof v);
    return v;
  }
  if (r.Type == WKPROP_DOUBLE && r.Size == sizeof(double)) {
    double v;
    std::memcpy(&v, r.Data.get(), sizeof v);
    return v;
  }
  if (r.Type == WKPROP_STRING) return std::string(reinterpret_cast<const char*>(r.Data.get()), r.Size);
  return {};
}

void TWKCustomProperties::Assign(const TWKCustomProperties& source) {
  if (&source == this) return;
  Clear();
  for (const auto& r : source.Items_) {
    TWKPropertyRecord& copy = SetRecord(r->Identifier, r->Type, r->Size, r->Data.get());
    copy.Interface = r->Interface;
  }
}

TWKProperties::~TWKProperties() { Clear(); }

void TWKProperties::SetInterface(int32_t identifier, std::shared_ptr<void> value) {
  SetRecord(identifier, WKPROP_INTERFACE, 0, nullptr).Interface = std::move(value);
}

std::shared_ptr<void> TWKProperties::GetInterface(int32_t identifier) const {
  const int index = IndexOf(identifier);
  if (index < 0) return nullptr;
  const TWKPropertyRecord& r = Items(index);
  return r.Type == WKPROP_INTERFACE ? r.Interface : nullptr;
}

void TWKProperties::ReleaseItem(TWKPropertyRecord& record) {
  if (record.Type == WKPROP_INTERFACE) record.Interface.reset();
}
