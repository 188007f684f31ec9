#include "documents/WKLosslessJpeg.h"

#include <algorithm>

#include "imaging/WKOrientation.h"

TWKLosslessJpeg::TWKLosslessJpeg() : Component_(CreateTarnwickObject()) {}
// A load still running is waited for: the helper uses this object.
TWKLosslessJpeg::~TWKLosslessJpeg() { WaitForLoad(); }

void TWKLosslessJpeg::WaitForLoad() const { Loader_.Wait(); }

void TWKLosslessJpeg::LoadBytes(const std::vector<uint8_t>& bytes, int32_t width, int32_t height,
                                int32_t orientation) {
  try {
    if (Component_->LoadMemory(bytes.data(), bytes.size()) != 0 && Component_->Width() == width &&
        Component_->Height() == height) {
      OrientHeld(orientation);
      return;
    }
  } catch (...) {  // out of memory for the coefficients: the document goes on without them
  }
  Component_->Release();
}

// Runs on the loader or, after it, on the document's thread.
void TWKLosslessJpeg::OrientHeld(int32_t orientation) {
  if (Component_->HasImage() == 0) return;
  TTarnwickGeometry geometry = Component_->Geometry();
  ApplyUprightSteps(orientation, [&geometry](TOrientStep step) {
    switch (step) {
      case TOrientStep::RotateRight: geometry.RotateRight(); break;
      case TOrientStep::RotateLeft: geometry.RotateLeft(); break;
      case TOrientStep::Mirror: geometry.Mirror(); break;
      case TOrientStep::Flip: geometry.Flip(); break;
    }
    return true;
  });
  if (geometry.ExactFor(Component_->BlockWidth(), Component_->BlockHeight()))
    Component_->SetGeometry(geometry);
  else
    Component_->Release();
}

void TWKLosslessJpeg::OrientUpright(int32_t orientation) {
  WaitForLoad();
  OrientHeld(orientation);
}

void TWKLosslessJpeg::RunLoader(const std::function<void()>& work) {
  Loader_ = TWKThreadPool::Shared().TryRun(work);
  if (!Loader_.Valid()) work();
}

void TWKLosslessJpeg::LoadInBackground(std::shared_ptr<const std::vector<uint8_t>> bytes,
                                       int32_t width, int32_t height, int32_t orientation) {
  Release();
  ReadAheadAsked_ = false;
  if (!bytes) return;
  RunLoader([this, bytes, width, height, orientation] { LoadBytes(*bytes, width, height, orientation); });
}

// Runs on the loader or, after it, on the document's thread.
bool TWKLosslessJpeg::ReadHeld() {
  try {
    if (Component_->HasImage() != 0 && Component_->ReadCoefficients() != 0) return true;
  } catch (...) {  // out of memory for the coefficients: the document goes on without them
  }
  Component_->Release();
  return false;
}

void TWKLosslessJpeg::ReadAhead() {
  if (ReadAheadAsked_) return;
  ReadAheadAsked_ = true;
  WaitForLoad();
  if (Component_->HasImage() != 0 && Component_->CoefficientBytes() == 0) RunLoader([this] { ReadHeld(); });
}

bool TWKLosslessJpeg::ReadCoefficients() {
  WaitForLoad();
  return ReadHeld();
}

bool TWKLosslessJpeg::HoldsData() const {
  WaitForLoad();
  return Component_->HasImage() != 0;
}
int32_t TWKLosslessJpeg::BlockWidth() const {
  WaitForLoad();
  return Component_->BlockWidth();
}
int32_t TWKLosslessJpeg::BlockHeight() const {
  WaitForLoad();
  return Component_->BlockHeight();
}

bool TWKLosslessJpeg::RotateLeft(int32_t flags) {
  Component().RotateLeft(flags);
  return true;
}
bool TWKLosslessJpeg::RotateRight(int32_t flags) {
  Component().RotateRight(flags);
  return true;
}
bool TWKLosslessJpeg::MirrorHorizontal(int32_t flags) {
  Component().Mirror(flags);
  return true;
}
bool TWKLosslessJpeg::FlipVertical(int32_t flags) {
  Component().Flip(flags);
  return true;
}
bool TWKLosslessJpeg::Crop(const TRect& rect) {
  Component().SetRegion(rect.Left, rect.Top, rect.Right, rect.Bottom);
  return true;
}

// The component's load cannot be interrupted: a release during it waits for its end.
void TWKLosslessJpeg::Release() {
  Component().Release();
  OutOfStep_ = false;
}

void TWKLosslessJpeg::MarkOutOfStep() { OutOfStep_ = HoldsData(); }

bool TWKLosslessJpeg::GetGeometry(TTarnwickGeometry& geometry) const {
  if (!HoldsData()) return false;
  geometry = Component_->Geometry();
  return true;
}

bool TWKLosslessJpeg::SetGeometry(const TTarnwickGeometry& geometry) {
  if (!Component().SetGeometry(geometry)) return false;
  OutOfStep_ = false;
  return true;
}

std::unique_ptr<IWKLosslessJpeg> MakeLosslessJpeg() { return std::make_unique<TWKLosslessJpeg>(); }

namespace {

TWKLosslessJpeg* FormOf(TWKGraphicsDocument& document) {
  return dynamic_cast<TWKLosslessJpeg*>(document.LosslessJpeg.get());
}

}  // namespace

bool LoadThroughLosslessJpeg(TWKGraphicsDocument& document, const std::string& fileName) {
  TWKLosslessJpeg* form = FormOf(document);
  if (form == nullptr) return false;
  form->Release();
  ITarnwick& t = form->Component();
  // The codec could not decode the file: its coded data is checked whole before it is shown.
  if (!t.Load(fileName, 0) || !t.ReadCoefficients()) return false;
  if (!document.SetImageSize(t.Width(), t.Height())) {
    form->Release();
    return false;
  }
  TWKPixels& pixels = *document.CurrentPixels();
  if (!t.ReadPixels(pixels.Bits, pixels.RowBytes, 0) || !document.CurrentImageLoaded()) {
    document.CurrentImage.FreeStorage();
    form->Release();
    return false;
  }
  return true;
}

bool CanSaveThroughLosslessJpeg(TWKGraphicsDocument& document) {
  TWKLosslessJpeg* form = FormOf(document);
  if (form == nullptr || !form->HoldsData()) return false;
  const TWKPixels* current = document.CurrentPixels();
  const bool inStep = !form->OutOfStep() && current != nullptr && current->Bits != nullptr &&
                      current->PixelFormat == FormatBGR24 &&
                      current->Width == form->Component().Width() &&
                      current->Height == form->Component().Height();
  if (!inStep) form->Release();
  // Coded data found damaged when the coefficients are read: the save encodes anew instead.
  return inStep && form->ReadCoefficients();
}

bool SaveThroughLosslessJpeg(TWKGraphicsDocument& document, const std::string& fileName,
                             std::string& error) {
  if (!CanSaveThroughLosslessJpeg(document)) {
    error = "the image no longer holds its JPEG form";
    return false;
  }
  ITarnwick& t = FormOf(document)->Component();
  const TWKPixels& current = *document.CurrentPixels();
  t.SetRegion(0, 0, current.Width, current.Height);
  const uint32_t figures = t.QualityFigures();
  int32_t parameters[TarnwickSaveParameterCount] = {
      0, 100, 0, 0, -1, -1, -1, TarnwickSaveByChange,
      int32_t(std::max(figures & 0xFFFF, figures >> 16))};
  uint8_t* first = current.PixelAddress(0, 0);
  t.SetPixels(&first, current.RowBytes, 0, 0);
  // Blocks keep their coefficients only where the pixels still equal the original image's.
  const TWKPixels* original = document.OriginalPixels();
  const bool comparable = original != nullptr && original->Bits != nullptr &&
                          original->PixelFormat == FormatBGR24 &&
                          original->Width == current.Width && original->Height == current.Height;
  t.SetOriginalPixels(comparable ? original->PixelAddress(0, 0) : nullptr,
                      comparable ? original->RowBytes : 0);
  bool saved = t.Save(fileName, parameters) != 0;
  if (!saved) {
    parameters[TarnwickSaveMode] = TarnwickSaveReencode;
    saved = t.Save(fileName, parameters) != 0;
  }
  if (!saved) error = t.LastError();
  t.FinishSave();
  return saved;
}
