// The image document's lossless JPEG form over the platform component, and the hooks through
// which the format registry loads and saves JPEG files with it. The form takes a file's headers,
// and later its coefficients, on a helper thread; every call on it (from the document's thread)
// first waits for that task to end, so callers never see it half loaded.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "documents/WKGraphicsDocument.h"
#include "framework/WKThreadPool.h"
#include "platform/lossless/ITarnwick.h"

class TWKLosslessJpeg final : public IWKLosslessJpeg {
 public:
  TWKLosslessJpeg();
  ~TWKLosslessJpeg() override;

  bool HoldsData() const override;
  int32_t BlockWidth() const override;
  int32_t BlockHeight() const override;
  bool RotateLeft(int32_t flags) override;
  bool RotateRight(int32_t flags) override;
  bool MirrorHorizontal(int32_t flags) override;
  bool FlipVertical(int32_t flags) override;
  // The exact rectangle: whether the crop can stay coefficient-exact is decided at save time.
  bool Crop(const TRect& rect) override;
  void Release() override;
  void MarkOutOfStep() override;
  bool GetGeometry(TTarnwickGeometry& geometry) const override;
  bool SetGeometry(const TTarnwickGeometry& geometry) override;
  // The held file's coefficients, read on a helper pool worker (at once when none can be had),
  // once per loaded file; later calls return at once.
  void ReadAhead() override;

  // Lets go of what it holds, then takes the coefficients of the file in bytes on a helper
  // pool worker (at once when none can be had). A file that is refused or whose picture is not
  // width x height leaves the form empty. The held picture is then turned upright from the EXIF
  // orientation as OrientUpright does.
  void LoadInBackground(std::shared_ptr<const std::vector<uint8_t>> bytes, int32_t width,
                        int32_t height, int32_t orientation = 1);
  // Turns the held picture upright from the EXIF orientation it was stored with, on the
  // coefficients. Where the picture's size does not let the turn stay exact the form lets go,
  // so that the next JPEG save encodes anew and asks for a quality.
  void OrientUpright(int32_t orientation);
  // Returns when no load runs any more.
  void WaitForLoad() const;
  // Whether the held file's coefficients are at hand, reading them now when they were not read;
  // a file whose coded data turns out damaged leaves the form empty (false).
  bool ReadCoefficients();

  ITarnwick& Component() {
    WaitForLoad();
    return *Component_;
  }
  // True after a whole-image replacement that no geometry step put back in step.
  bool OutOfStep() const { return OutOfStep_; }

 private:
  void LoadBytes(const std::vector<uint8_t>& bytes, int32_t width, int32_t height,
                 int32_t orientation);
  void OrientHeld(int32_t orientation);
  bool ReadHeld();
  // Runs work on a helper pool worker as the load task, or at once when none can be had.
  void RunLoader(const std::function<void()>& work);

  std::unique_ptr<ITarnwick> Component_;
  bool OutOfStep_ = false;
  bool ReadAheadAsked_ = false;
  // Only the load task touches Component_ while it runs; waited for before any other use.
  TWKTask Loader_;
};

std::unique_ptr<IWKLosslessJpeg> MakeLosslessJpeg();

// Loads the file through the document's lossless form: true when the form holds it, the current
// image decoded from it and the original a copy (the metadata is the caller's); false leaves the
// document's images as they were, for the codec to try.
bool LoadThroughLosslessJpeg(TWKGraphicsDocument& document, const std::string& fileName);
// Whether a JPEG save goes through the lossless form (no quality dialog). A form that is out of
// step with the document is let go here, so the save asks for a quality instead.
bool CanSaveThroughLosslessJpeg(TWKGraphicsDocument& document);
// The exact save, or one whole re-encode with the file's own tables when most blocks changed;
// after a failure once more re-encoding every block.
bool SaveThroughLosslessJpeg(TWKGraphicsDocument& document, const std::string& fileName,
                             std::string& error);
