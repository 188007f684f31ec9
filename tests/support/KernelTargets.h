// Vectorised kernels are compiled once per instruction set and one is chosen at run time, so a
// test on the best set alone never runs the others. A suite declared here runs each of its tests
// once per instruction set that the build compiled and this machine can execute, that set
// forced for the test's duration:
//
//   #include "support/KernelTargets.h"
//
//   QM_KERNEL_TEST_SUITE(MirrorKernel);
//
//   TEST_P(MirrorKernel, EqualsPlainMirror) {
//     ...  // call the dispatching function, compare with the plain version byte for byte
//   }
//
// The instances are named after the set (MirrorKernel.EqualsPlainMirror/AVX2, .../SSE4, ...).
// Register the test program with `qm_test(... PER_TEST)` so that ctest lists and runs each
// instance on its own. CurrentKernelTarget() names the set in failure messages.
#pragma once

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

namespace kernel_test {

// Forces the instruction set `target` (0: back to the machine's best) for every later dispatch.
inline void SelectTarget(int64_t target) {
  hwy::SetSupportedTargetsForTest(target);
  hwy::GetChosenTarget().Update(hwy::SupportedTargets());
}

// Every instruction set compiled into the program and supported by this machine.
inline std::vector<int64_t> Targets() { return hwy::SupportedAndGeneratedTargets(); }

inline std::string TargetName(const ::testing::TestParamInfo<int64_t>& info) {
  std::string name = hwy::TargetName(info.param);
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

// The fixture behind QM_KERNEL_TEST_SUITE: selects the parameter's set before each test and
// restores the best one afterwards, also when the test failed.
class TKernelTargetTest : public ::testing::TestWithParam<int64_t> {
 protected:
  void SetUp() override { SelectTarget(GetParam()); }
  void TearDown() override { SelectTarget(0); }
};

}  // namespace kernel_test

// Name of the instruction set dispatches go to now (the best one of those allowed).
inline std::string CurrentKernelTarget() {
  const int64_t allowed = hwy::SupportedTargets() & HWY_TARGETS;
  return hwy::TargetName(allowed & -allowed);
}

#define QM_KERNEL_TEST_SUITE(Suite)                                   \
  class Suite : public ::kernel_test::TKernelTargetTest {};           \
  INSTANTIATE_TEST_SUITE_P(, Suite, ::testing::ValuesIn(::kernel_test::Targets()), \
                           ::kernel_test::TargetName)
