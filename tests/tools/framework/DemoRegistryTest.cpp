#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/WKProperties.h"
#include "tools/framework/WKDemoRegistry.h"

namespace {

struct TArgs : TWKCustomProperties {
  TArgs& Int(int32_t v) { SetInteger(Count() + 1, v); return *this; }
  TArgs& Real(double v) { SetDouble(Count() + 1, v); return *this; }
  TArgs& Text(const std::string& v) { SetString(Count() + 1, v); return *this; }
};

TEST(DemoRegistry, NamesMatchInUpperCaseAndTheFirstRegistrationWins) {
  TWKDemoRegistry r;
  std::vector<std::string> calls;
  r.RegisterProcedure("RedEyeAreaSize", [&] { calls.push_back("first"); });
  r.RegisterProcedure("REDEYEAREASIZE", [&] { calls.push_back("second"); });
  EXPECT_TRUE(r.Execute("redeyeareasize", TArgs{}));
  EXPECT_EQ(calls, (std::vector<std::string>{"first"}));
  EXPECT_EQ(r.CommandInfos()[0].Name, "REDEYEAREASIZE");
  EXPECT_FALSE(r.Execute("RedEye", TArgs{}));
}

TEST(DemoRegistry, SettersTakeTheFirstArgumentOrTheirStoredValue) {
  TWKDemoRegistry r;
  int32_t value = -1;
  r.RegisterInteger("RedEyeBrightness", 50, [&](int32_t v) { value = v; });
  r.Execute("REDEYEBRIGHTNESS", TArgs{}.Int(60));
  EXPECT_EQ(value, 60);
  r.Execute("REDEYEBRIGHTNESS", TArgs{});
  EXPECT_EQ(value, 50);
  r.Execute("REDEYEBRIGHTNESS", TArgs{}.Text("lots"));
  EXPECT_EQ(value, 50);
  r.Execute("REDEYEBRIGHTNESS", TArgs{}.Real(70.6));
  EXPECT_EQ(value, 71);

  // A Boolean needs only an argument; text counts as false.
  bool flag = false;
  r.RegisterBoolean("ExpertMode", true, [&](bool v) { flag = v; });
  r.Execute("EXPERTMODE", TArgs{});
  EXPECT_TRUE(flag);
  r.Execute("EXPERTMODE", TArgs{}.Int(0));
  EXPECT_FALSE(flag);
  r.Execute("EXPERTMODE", TArgs{}.Int(2));
  EXPECT_TRUE(flag);
  r.Execute("EXPERTMODE", TArgs{}.Text("yes"));
  EXPECT_FALSE(flag);

  // A point needs two numbers.
  TPoint p{};
  r.RegisterPoint("Palette", TPoint{3, 4}, [&](TPoint v) { p = v; });
  r.Execute("PALETTE", TArgs{}.Int(10).Int(20));
  EXPECT_EQ(p, (TPoint{10, 20}));
  r.Execute("PALETTE", TArgs{}.Int(10));
  EXPECT_EQ(p, (TPoint{3, 4}));
}

TEST(DemoRegistry, ClicksPassTheirComponentAndLocatorsSkipHiddenOnes) {
  TWKDemoRegistry r;
  int button = 0, other = 0;
  const void* sender = nullptr;
  bool shown = false;
  r.RegisterButton("RedEye", &button, [&]() -> std::optional<TPoint> {
    if (!shown) return std::nullopt;
    return TPoint{5, 6};
  }, [&](const void* s) { sender = s; });
  r.RegisterComponent("REDEYE", &other, [] { return std::optional<TPoint>(TPoint{7, 8}); });
  r.RegisterComponent("Nothing", nullptr, [] { return std::optional<TPoint>(TPoint{1, 1}); });

  EXPECT_TRUE(r.Execute("REDEYE", TArgs{}));
  EXPECT_EQ(sender, &button);
  EXPECT_EQ(r.Locate("redeye"), (TPoint{7, 8}));  // the first is hidden
  shown = true;
  EXPECT_EQ(r.Locate("REDEYE"), (TPoint{5, 6}));
  EXPECT_FALSE(r.Locate("NOTHING"));
  EXPECT_EQ(r.ComponentInfos().size(), 2u);

  r.Unregister(&button);
  EXPECT_FALSE(r.Execute("REDEYE", TArgs{}));
  EXPECT_EQ(r.Locate("REDEYE"), (TPoint{7, 8}));
}

}  // namespace
