#include "platform/lossless/ResidentBlockArrays.h"

#include <jerror.h>

#include <cstdint>

#include "imaging/WKPageMemory.h"

struct TResidentBlockArrays::TArray {
  JDIMENSION BlocksPerRow;
  JDIMENSION Rows;
  JBLOCKROW* RowPointers;  // null until realised
  void* Memory;
  size_t Bytes;
  TArray* Next;
};

TResidentBlockArrays::~TResidentBlockArrays() { FreeArrays(); }

void TResidentBlockArrays::Install(j_common_ptr info) {
  FreeArrays();
  jpeg_memory_mgr& mem = *info->mem;
  Library_ = mem;
  info->client_data = this;
  mem.request_virt_barray = Request;
  mem.realize_virt_arrays = Realize;
  mem.access_virt_barray = Access;
  mem.free_pool = FreePool;
  mem.self_destruct = SelfDestruct;
}

TResidentBlockArrays& TResidentBlockArrays::Of(j_common_ptr info) {
  return *static_cast<TResidentBlockArrays*>(info->client_data);
}

size_t TResidentBlockArrays::HeldBytes() const {
  size_t bytes = 0;
  for (const TArray* a = First_; a != nullptr; a = a->Next) bytes += a->Bytes;
  return bytes;
}

void TResidentBlockArrays::FreeArrays() {
  for (TArray* a = First_; a != nullptr; a = a->Next) FreePixelMemory(a->Memory, a->Bytes);
  First_ = nullptr;
}

jvirt_barray_ptr TResidentBlockArrays::Request(j_common_ptr info, int pool, boolean, JDIMENSION blocksPerRow,
                                               JDIMENSION rows, JDIMENSION) {
  // Like the library: virtual arrays live only as long as one image.
  if (pool != JPOOL_IMAGE) ERREXIT1(info, JERR_BAD_POOL_ID, pool);
  TResidentBlockArrays& self = Of(info);
  auto* a = static_cast<TArray*>((*self.Library_.alloc_small)(info, JPOOL_IMAGE, sizeof(TArray)));
  *a = TArray{blocksPerRow, rows, nullptr, nullptr, 0, self.First_};
  self.First_ = a;
  return reinterpret_cast<jvirt_barray_ptr>(a);
}

// Fresh page memory is zero, so arrays asked to be pre-zeroed need nothing more.
void TResidentBlockArrays::Realize(j_common_ptr info) {
  TResidentBlockArrays& self = Of(info);
  (*self.Library_.realize_virt_arrays)(info);  // sample arrays stay the library's
  for (TArray* a = self.First_; a != nullptr; a = a->Next) {
    if (a->RowPointers != nullptr) continue;
    const size_t row = size_t(a->BlocksPerRow) * sizeof(JBLOCK);
    if (a->Rows == 0 || row == 0 || uint64_t(row) * a->Rows > MaxPixelStorageBytes)
      ERREXIT(info, JERR_WIDTH_OVERFLOW);
    a->Bytes = row * a->Rows;
    a->Memory = AllocatePixelMemory(a->Bytes);
    if (a->Memory == nullptr) ERREXIT1(info, JERR_OUT_OF_MEMORY, 10);
    auto* rows = static_cast<JBLOCKROW*>((*self.Library_.alloc_small)(info, JPOOL_IMAGE, a->Rows * sizeof(JBLOCKROW)));
    auto* bytes = static_cast<uint8_t*>(a->Memory);
    for (JDIMENSION r = 0; r < a->Rows; ++r) rows[r] = reinterpret_cast<JBLOCKROW>(bytes + r * row);
    a->RowPointers = rows;
  }
}

JBLOCKARRAY TResidentBlockArrays::Access(j_common_ptr info, jvirt_barray_ptr array, JDIMENSION startRow,
                                         JDIMENSION rows, boolean) {
  auto* a = reinterpret_cast<TArray*>(array);
  if (a->RowPointers == nullptr || startRow > a->Rows || rows > a->Rows - startRow)
    ERREXIT(info, JERR_BAD_VIRTUAL_ACCESS);
  return a->RowPointers + startRow;
}

void TResidentBlockArrays::FreePool(j_common_ptr info, int pool) {
  TResidentBlockArrays& self = Of(info);
  if (pool == JPOOL_IMAGE) self.FreeArrays();
  (*self.Library_.free_pool)(info, pool);
}

void TResidentBlockArrays::SelfDestruct(j_common_ptr info) {
  TResidentBlockArrays& self = Of(info);
  self.FreeArrays();
  info->client_data = nullptr;
  (*self.Library_.self_destruct)(info);
}
