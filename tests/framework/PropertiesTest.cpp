#include <gtest/gtest.h>

#include "framework/WKMethodList.h"
#include "framework/WKProperties.h"

namespace {

class TCountingProperties : public TWKCustomProperties {
 public:
  ~TCountingProperties() override { Clear(); }
  void ReleaseItem(TWKPropertyRecord& record) override { ++released; }
  int released = 0;
};

TEST(Properties, SetReplacesInPlaceAndReleases) {
  TCountingProperties p;
  p.SetInteger(1, 10);
  p.SetString(2, "two");
  p.SetDouble(3, 2.5);
  p.SetInteger(2, 20);  // replaces the string in place
  ASSERT_EQ(p.Count(), 3);
  EXPECT_EQ(p.released, 1);
  EXPECT_EQ(p.IndexOf(2), 1);
  EXPECT_EQ(std::get<int32_t>(p.GetVariant(1)), 20);
  EXPECT_EQ(std::get<double>(p.GetVariant(2)), 2.5);
  p.Delete(1);
  EXPECT_EQ(p.released, 2);
  EXPECT_EQ(p.IndexOf(1), -1);
  EXPECT_EQ(p.Count(), 2);
}

TEST(Properties, GetVariantByPosition) {
  TWKCustomProperties p;
  p.SetString(7, "text");
  const uint8_t raw[3] = {1, 2, 3};
  p.SetValue(8, 14, 3, raw);
  EXPECT_EQ(std::get<std::string>(p.GetVariant(0)), "text");
  EXPECT_TRUE(std::holds_alternative<std::monostate>(p.GetVariant(1)));
  EXPECT_TRUE(std::holds_alternative<std::monostate>(p.GetVariant(-1)));
  EXPECT_TRUE(std::holds_alternative<std::monostate>(p.GetVariant(2)));
}

TEST(Properties, AssignCopiesAndInterfacesAreReleased) {
  auto shared = std::make_shared<int>(5);
  TWKProperties a;
  a.SetInteger(1, 1);
  a.SetInterface(2, shared);
  {
    TWKProperties b;
    b.SetInteger(9, 9);
    b.Assign(a);
    EXPECT_EQ(b.Count(), 2);
    EXPECT_EQ(b.IndexOf(9), -1);
    EXPECT_EQ(b.GetInterface(2), shared);
    EXPECT_EQ(shared.use_count(), 3);
  }
  EXPECT_EQ(shared.use_count(), 2);
  a.Delete(2);
  EXPECT_EQ(shared.use_count(), 1);
}

struct TCounter {
  void Bump() { ++calls; }
  int calls = 0;
};

TEST(MethodList, RemoveSearchesFromTheEnd) {
  TCounter x, y;
  TWKMethodList list;
  const TWKMethod mx = MethodOf<&TCounter::Bump>(&x);
  list.Add(mx);
  list.Add(MethodOf<&TCounter::Bump>(&y));
  list.Add(mx);
  EXPECT_EQ(list.Remove(mx), 2);
  EXPECT_EQ(list.Remove(MethodOf<&TCounter::Bump>(&y)), 1);
  EXPECT_EQ(list.Remove(MethodOf<&TCounter::Bump>(&y)), -1);
  list.CallAll();
  EXPECT_EQ(x.calls, 1);
  EXPECT_EQ(y.calls, 0);
}

}  // namespace
