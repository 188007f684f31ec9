#include "platform/codec/ImageDecoder.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "framework/WKRegularFile.h"
#include "platform/codec/PixelConvert.h"

TCodecData::~TCodecData() {
  if (Mapping_) munmap(Mapping_, Size_);
}

std::shared_ptr<const TCodecData> TCodecData::MapFile(const std::string& path, TCodecError& err) {
  TWKFileFailure failure;
  const int fd = OpenRegularFile(path, failure);
  struct stat st {};
  if (fd < 0 || fstat(fd, &st) != 0) {
    if (fd >= 0) close(fd);
    err.Fail(TCodecStatus::FileError, failure.Text());
    return nullptr;
  }
  std::shared_ptr<TCodecData> data(new TCodecData);
  if (st.st_size > 0) {
    void* view = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (view == MAP_FAILED) {
      close(fd);
      err.Fail(TCodecStatus::FileError, "Cannot read \"" + path + "\": " + std::strerror(errno));
      return nullptr;
    }
    data->Mapping_ = view;
    data->Data_ = static_cast<const uint8_t*>(view);
    data->Size_ = static_cast<size_t>(st.st_size);
  }
  close(fd);
  return data;
}

std::shared_ptr<const TCodecData> TCodecData::Take(std::vector<uint8_t> bytes) {
  std::shared_ptr<TCodecData> data(new TCodecData);
  data->Owned_ = std::move(bytes);
  data->Data_ = data->Owned_.data();
  data->Size_ = data->Owned_.size();
  return data;
}

std::shared_ptr<const TCodecData> TCodecData::Borrow(const uint8_t* bytes, size_t size) {
  std::shared_ptr<TCodecData> data(new TCodecData);
  data->Data_ = bytes;
  data->Size_ = bytes ? size : 0;
  return data;
}

bool TImageDecoder::Refuse(const std::string& reason, TCodecStatus status) {
  if (!reason.empty() && Refusal_.empty()) {
    Refusal_ = reason;
    RefusalStatus_ = status;
  }
  return true;
}

bool TImageDecoder::CheckDest(const TPixelRows& dest, TCodecError& err) const {
  if (!Refusal_.empty()) return err.Fail(RefusalStatus_, Refusal_);
  if (!dest.Bits || dest.Width != Info_.Width || dest.Height != Info_.Height ||
      dest.RowBytes < ptrdiff_t{dest.Width} * 3)
    return err.Fail(TCodecStatus::InvalidArgument,
                    "The destination rows do not match the image size.");
  return true;
}

bool TImageDecoder::ReducedSize(int32_t, int32_t&, int32_t&) const { return false; }

bool TImageDecoder::ReadPixelRows(const TPixelRows&, int32_t, int32_t, TDecodeProgress*, TCodecError& err) const {
  return err.Fail(TCodecStatus::InvalidArgument, "This image decodes whole only.");
}

bool TImageDecoder::CheckThumbnailDest(const TPixelRows& dest, TCodecError& err) const {
  if (!Refusal_.empty()) return err.Fail(RefusalStatus_, Refusal_);
  if (!dest.Bits || dest.Width <= 0 || dest.Height <= 0 || dest.RowBytes < ptrdiff_t{dest.Width} * 3)
    return err.Fail(TCodecStatus::InvalidArgument, "Invalid thumbnail size.");
  return true;
}

bool TImageDecoder::CheckPreviewBytes(uint64_t bytes, TCodecError& err) {
  if (TDecodeGuard::PreviewAdmits(bytes)) return true;
  return err.Fail(TCodecStatus::TooLarge, "The picture is too large for a preview.");
}

bool TImageDecoder::Report(double done, TCodecError& err) {
  if (!Progress_ || Progress_->Report(done)) return true;
  return err.Fail(TCodecStatus::Cancelled, TDecodeGuard::Cancelled());
}

bool TImageDecoder::ReadThumbnail(const TPixelRows& dest, TCodecError& err) {
  if (!CheckThumbnailDest(dest, err)) return false;
  ptrdiff_t rowBytes = AlignedRowBytes24(Info_.Width);
  if (!CheckPreviewBytes(uint64_t(rowBytes) * uint64_t(Info_.Height) + Info_.DecoderBytes, err)) return false;
  std::unique_ptr<uint8_t[]> full(new (std::nothrow) uint8_t[rowBytes * Info_.Height]);
  if (!full) return err.Fail(TCodecStatus::TooLarge, "Not enough memory to make a thumbnail.");
  TPixelRows rows{full.get(), rowBytes, Info_.Width, Info_.Height};
  if (!ReadPixels(rows, err)) return false;
  ReduceBGR24(TConstPixelRows{rows.Bits, rows.RowBytes, rows.Width, rows.Height}, dest);
  return true;
}
