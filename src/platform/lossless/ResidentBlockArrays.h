// Coefficient block arrays of one libjpeg object, held wholly in memory: each array is
// one block of zero-filled page memory (huge pages for large ones) instead of the library's
// default allocations, so that a 24-megapixel file's arrays fault in and go away in a few dozen
// pages rather than tens of thousands.
#pragma once

#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <jpeglib.h>

class TResidentBlockArrays {
 public:
  TResidentBlockArrays() = default;
  TResidentBlockArrays(const TResidentBlockArrays&) = delete;
  TResidentBlockArrays& operator=(const TResidentBlockArrays&) = delete;
  ~TResidentBlockArrays();

  // Takes over the block-array requests of info, right after its jpeg_create_*. The object must
  // outlive info's jpeg_destroy; info's client_data is used for it. An object that writes arrays
  // of an installed one (jpeg_write_coefficients) must be installed as well.
  void Install(j_common_ptr info);
  // Bytes of the arrays realised so far and not yet freed.
  size_t HeldBytes() const;

 private:
  struct TArray;
  static jvirt_barray_ptr Request(j_common_ptr info, int pool, boolean preZero, JDIMENSION blocksPerRow,
                                  JDIMENSION rows, JDIMENSION maxAccess);
  static void Realize(j_common_ptr info);
  static JBLOCKARRAY Access(j_common_ptr info, jvirt_barray_ptr array, JDIMENSION startRow, JDIMENSION rows,
                            boolean writable);
  static void FreePool(j_common_ptr info, int pool);
  static void SelfDestruct(j_common_ptr info);
  static TResidentBlockArrays& Of(j_common_ptr info);
  void FreeArrays();

  jpeg_memory_mgr Library_{};  // the library's own entries, called for everything else
  TArray* First_ = nullptr;    // in the image pool; their memory is ours
};
