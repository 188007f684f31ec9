// Keyed property lists: ordered records of (identifier, type, bytes). Typed helpers store
// 32-bit integers (type 5), doubles (10), 8-bit strings (11) and shared interfaces (16).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

enum : uint32_t {
  WKPROP_INTEGER = 5,
  WKPROP_DOUBLE = 10,
  WKPROP_STRING = 11,
  WKPROP_INTERFACE = 16,
};

struct TWKPropertyRecord {
  int32_t Identifier = 0;
  uint32_t Size = 0;
  uint32_t Type = 0;
  std::unique_ptr<uint8_t[]> Data;       // Size bytes
  std::shared_ptr<void> Interface;       // held for type 16
};

using TWKVariant = std::variant<std::monostate, int32_t, double, std::string>;

class TWKCustomProperties {
 public:
  TWKCustomProperties() = default;
  virtual ~TWKCustomProperties();
  TWKCustomProperties(const TWKCustomProperties&) = delete;
  TWKCustomProperties& operator=(const TWKCustomProperties&) = delete;

  // Searched from the last record to the first; -1 when absent.
  int IndexOf(int32_t identifier) const;
  int Count() const { return static_cast<int>(Items_.size()); }
  const TWKPropertyRecord& Items(int index) const { return *Items_.at(static_cast<size_t>(index)); }

  // Replaces the record with that identifier in place (releasing the old one first) or
  // appends a new one.
  void SetValue(int32_t identifier, uint32_t type, uint32_t size, const void* data);
  void SetInteger(int32_t identifier, int32_t value);
  void SetDouble(int32_t identifier, double value);
  void SetString(int32_t identifier, const std::string& text);
  void Delete(int32_t identifier);
  void Clear();

  // By position: type 5 gives an integer, 10 a double, 11 a string; anything else, or an
  // index out of range, an empty value.
  TWKVariant GetVariant(int index) const;

  virtual void ReleaseItem(TWKPropertyRecord& record) {}
  virtual void Assign(const TWKCustomProperties& source);

 protected:
  TWKPropertyRecord& SetRecord(int32_t identifier, uint32_t type, uint32_t size, const void* data);

 private:
  std::vector<std::unique_ptr<TWKPropertyRecord>> Items_;
};

class TWKProperties : public TWKCustomProperties {
 public:
  ~TWKProperties() override;
  // Type 16: the record keeps a reference to the interface until it is released.
  void SetInterface(int32_t identifier, std::shared_ptr<void> value);
  std::shared_ptr<void> GetInterface(int32_t identifier) const;
  void ReleaseItem(TWKPropertyRecord& record) override;
};
