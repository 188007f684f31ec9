// Block arrays held in page memory: libjpeg reads and writes coefficients through them exactly
// as through its own, an aborted object is reused, and a bad access is an error, not a read.
#include <gtest/gtest.h>

#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cstdlib>
#include <vector>

#include "LosslessTestSupport.h"
#include "platform/lossless/ResidentBlockArrays.h"

using namespace lossless_test;

namespace {

struct TFail {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  int Code = 0;
};

[[noreturn]] void Exit(j_common_ptr info) {
  reinterpret_cast<TFail*>(info->err)->Code = info->err->msg_code;
  std::longjmp(reinterpret_cast<TFail*>(info->err)->Jump, 1);
}

struct TSeen {
  bool ProbePastTheEnd = false;
  int ErrorCode = 0;
  std::vector<size_t> HeldAfterRead, HeldAfterAbort, Expected;
};

// Reads each file's coefficients and writes them to a new file, the source object reused after
// jpeg_abort; with `resident` both objects hold their arrays through TResidentBlockArrays.
std::vector<std::vector<uint8_t>> Transcode(const std::vector<std::vector<uint8_t>>& files, bool resident,
                                            TSeen* seen = nullptr) {
  TFail error;
  jpeg_std_error(&error.Manager)->error_exit = Exit;
  TResidentBlockArrays srcArrays, dstArrays;
  jpeg_decompress_struct src{};
  jpeg_compress_struct dst{};
  src.err = &error.Manager;
  dst.err = &error.Manager;
  std::vector<std::vector<uint8_t>> out;
  if (setjmp(error.Jump)) {
    if (seen) seen->ErrorCode = error.Code;
    jpeg_destroy_compress(&dst);
    jpeg_destroy_decompress(&src);
    return {};
  }
  jpeg_create_decompress(&src);
  jpeg_create_compress(&dst);
  if (resident) {
    srcArrays.Install(reinterpret_cast<j_common_ptr>(&src));
    dstArrays.Install(reinterpret_cast<j_common_ptr>(&dst));
  }
  for (const std::vector<uint8_t>& file : files) {
    jpeg_mem_src(&src, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&src, TRUE);
    jvirt_barray_ptr* arrays = jpeg_read_coefficients(&src);
    if (seen) {
      size_t expected = 0;
      for (int c = 0; c < src.num_components; ++c) {
        const jpeg_component_info& comp = src.comp_info[c];
        const size_t rows = (comp.height_in_blocks + comp.v_samp_factor - 1) / comp.v_samp_factor * comp.v_samp_factor;
        const size_t cols = (comp.width_in_blocks + comp.h_samp_factor - 1) / comp.h_samp_factor * comp.h_samp_factor;
        expected += rows * cols * sizeof(JBLOCK);
      }
      seen->Expected.push_back(expected);
      seen->HeldAfterRead.push_back(srcArrays.HeldBytes());
      if (seen->ProbePastTheEnd)
        (*src.mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(&src), arrays[0],
                                       src.comp_info[0].height_in_blocks + 8, 1, FALSE);
    }
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&dst, &buffer, &size);
    jpeg_copy_critical_parameters(&src, &dst);
    jpeg_write_coefficients(&dst, arrays);
    jpeg_finish_compress(&dst);
    out.emplace_back(buffer, buffer + size);
    std::free(buffer);
    jpeg_abort_decompress(&src);
    if (seen) seen->HeldAfterAbort.push_back(srcArrays.HeldBytes());
  }
  jpeg_destroy_compress(&dst);
  jpeg_destroy_decompress(&src);
  return out;
}

}  // namespace

TEST(ResidentBlockArrays, CoefficientsPassThroughExactlyAsThroughTheLibrarysOwnArrays) {
  const TPicture picture = TPicture::Synthetic(333, 211);
  TJpegOptions progressive, grey, wide;
  progressive.Progressive = true;
  grey.Kind = TJpegOptions::Grey;
  wide.LumaH = 2;
  wide.LumaV = 1;
  const std::vector<std::vector<uint8_t>> files = {EncodeJpeg(picture, {}), EncodeJpeg(picture, progressive),
                                                   EncodeJpeg(picture, grey), EncodeJpeg(picture, wide)};
  const auto library = Transcode(files, false);
  TSeen seen;
  const auto resident = Transcode(files, true, &seen);
  ASSERT_EQ(library.size(), files.size());
  ASSERT_EQ(resident.size(), files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(resident[i], library[i]);
    EXPECT_EQ(DifferingBlocks(ReadCoefficients(resident[i]), ReadCoefficients(files[i])), 0u);
    EXPECT_EQ(seen.HeldAfterRead[i], seen.Expected[i]) << "the arrays are ours";
    EXPECT_EQ(seen.HeldAfterAbort[i], 0u) << "and go with the image";
  }
}

TEST(ResidentBlockArrays, AnAccessPastTheLastRowIsALibraryError) {
  TSeen seen;
  seen.ProbePastTheEnd = true;
  EXPECT_TRUE(Transcode({EncodeJpeg(TPicture::Synthetic(64, 48), {})}, true, &seen).empty());
  EXPECT_EQ(seen.ErrorCode, JERR_BAD_VIRTUAL_ACCESS);
}
