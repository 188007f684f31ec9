// The host's side of the filter interface as a 64-bit host lays it out: the parameter block
// (fields this plug-in uses at their published offsets, everything else kept as opaque
// bytes), the about record, selector and result codes. The host packs these records to
// 4-byte boundaries, so pointers may sit at offsets that are multiples of 4 only.
#pragma once

#include <cstddef>
#include <cstdint>

namespace filter {

// Rectangles and points are 16-bit, top-left-bottom-right and vertical-horizontal.
struct TRect16 {
  int16_t top, left, bottom, right;
};
struct TPoint16 {
  int16_t v, h;
};

// Returns 0 to let the plug-in go on; the host fills inData/outData from the requests.
using TAdvanceStateProc = int16_t (*)();

// The host's window handle is the first member of the record platformData points to.
struct TPlatformData {
  intptr_t hwnd;
};

#pragma pack(push, 4)
struct TFilterRecord {
  uint8_t reserved0[32];  // serial number, abort and progress callbacks, parameters, image size
  int16_t planes;         // 32
  TRect16 filterRect;     // 34
  uint8_t reserved1[22];  // background and foreground colours, maxSpace, bufferSpace
  TRect16 inRect;         // 64
  int16_t inLoPlane;      // 72
  int16_t inHiPlane;      // 74
  TRect16 outRect;        // 76
  int16_t outLoPlane;     // 84
  int16_t outHiPlane;     // 86
  void* inData;           // 88
  int32_t inRowBytes;     // 96
  void* outData;          // 100
  int32_t outRowBytes;    // 108
  uint8_t reserved2[4];   // isFloating, haveMask, autoMask, one byte of alignment
  TRect16 maskRect;       // 116
  uint8_t reserved3[32];  // mask data and row bytes, colours, host signature, host callback
  int16_t imageMode;      // 156
  uint8_t reserved4[58];  // resolutions, float coordinate, whole size, monitor description
  TPlatformData* platformData;  // 216
  uint8_t reserved5[56];  // buffer, resource, event, display and handle callbacks, layout flags
  TAdvanceStateProc advanceState;  // 280
};
#pragma pack(pop)

static_assert(offsetof(TFilterRecord, planes) == 32);
static_assert(offsetof(TFilterRecord, filterRect) == 34);
static_assert(offsetof(TFilterRecord, inRect) == 64);
static_assert(offsetof(TFilterRecord, inLoPlane) == 72);
static_assert(offsetof(TFilterRecord, inHiPlane) == 74);
static_assert(offsetof(TFilterRecord, outRect) == 76);
static_assert(offsetof(TFilterRecord, outLoPlane) == 84);
static_assert(offsetof(TFilterRecord, outHiPlane) == 86);
static_assert(offsetof(TFilterRecord, inData) == 88);
static_assert(offsetof(TFilterRecord, inRowBytes) == 96);
static_assert(offsetof(TFilterRecord, outData) == 100);
static_assert(offsetof(TFilterRecord, outRowBytes) == 108);
static_assert(offsetof(TFilterRecord, maskRect) == 116);
static_assert(offsetof(TFilterRecord, imageMode) == 156);
static_assert(offsetof(TFilterRecord, platformData) == 216);
static_assert(offsetof(TFilterRecord, advanceState) == 280);
static_assert(sizeof(void*) == 8, "laid out for a 64-bit host");

// The about selector passes this record instead of the parameter block.
struct TAboutRecord {
  TPlatformData* platformData;
};

enum TSelector : int16_t {
  kSelectorAbout = 0,
  kSelectorParameters = 1,
  kSelectorPrepare = 2,
  kSelectorStart = 3,
  kSelectorContinue = 4,
  kSelectorFinish = 5,
};

inline constexpr int16_t kResultNoError = 0;
inline constexpr int16_t kResultFailed = -23;           // the hand-over could not be made
inline constexpr int16_t kResultUserCanceled = -128;    // also any failure after the start
inline constexpr int16_t kResultBadParameters = -30100;  // unknown selector or no filter object

inline constexpr int16_t kModeRGB = 3;

}  // namespace filter

// The entry point the host calls, with the C name "ENTRYPOINT".
extern "C" void ENTRYPOINT(int16_t selector, void* parameterBlock, intptr_t* data, int16_t* result);
