#include "plugin/PhotoshopFilter.h"

#include "plugin/PluginMessages.h"

using filter::TFilterRecord;

namespace {

constexpr filter::TRect16 kNoRect{0, 0, 0, 0};

// The header the plug-in writes for the filtered rectangle; 16-bit values widen with sign.
TWKExchangeHeader HeaderFor(const TFilterRecord* block, int32_t rowBytes) {
  TWKExchangeHeader h;
  h.HeaderSize = kExchangeHeaderSize;
  h.Mode = block->imageMode;
  h.Left = block->filterRect.left;
  h.Top = block->filterRect.top;
  h.Width = int32_t(block->filterRect.right) - block->filterRect.left;
  h.Height = int32_t(block->filterRect.bottom) - block->filterRect.top;
  h.RowBytes = rowBytes;
  h.PixelBytes = block->planes;
  return h;
}

bool Advance(TFilterRecord* block) { return block->advanceState != nullptr && block->advanceState() == 0; }

// The buffer the host delivered must be able to hold the rectangle it was asked for.
bool Describes(const TWKExchangeHeader& h, const void* data) {
  return data != nullptr && h.Width > 0 && h.Height > 0 && h.PixelBytes > 0 &&
         int64_t(h.RowBytes) >= int64_t(h.Width) * h.PixelBytes;
}

}  // namespace

std::unique_ptr<TPhotoshopFilter> TPhotoshopFilter::Create() {
  std::unique_ptr<TPhotoshopFilter> filter(new TPhotoshopFilter);
  filter->AfterCreate();
  return filter;
}

intptr_t TPhotoshopFilter::HostWindow(const filter::TPlatformData* platformData) {
  return platformData != nullptr ? platformData->hwnd : 0;
}

int16_t TPhotoshopFilter::About(filter::TAboutRecord* record) {
  ShowAbout(HostWindow(record != nullptr ? record->platformData : nullptr));
  return filter::kResultNoError;
}

int16_t TPhotoshopFilter::Parameters(TFilterRecord*) { return filter::kResultNoError; }
int16_t TPhotoshopFilter::Prepare(TFilterRecord*) { return filter::kResultNoError; }
int16_t TPhotoshopFilter::Start(TFilterRecord*) { return filter::kResultNoError; }
int16_t TPhotoshopFilter::Continue(TFilterRecord*) { return filter::kResultNoError; }
int16_t TPhotoshopFilter::Finish(TFilterRecord*) { return filter::kResultNoError; }

void TPhotoshopFilter::ShowAbout(intptr_t window) {
  ShowPluginMessage(window, AboutText, AboutCaption, TPluginMessageIcon::None);
}

int16_t TPhotoshopFilter::Dispatch(int16_t selector, void* parameterBlock) {
  if (parameterBlock == nullptr) return filter::kResultBadParameters;
  auto* block = static_cast<TFilterRecord*>(parameterBlock);
  switch (selector) {
    case filter::kSelectorAbout: return About(static_cast<filter::TAboutRecord*>(parameterBlock));
    case filter::kSelectorParameters: return Parameters(block);
    case filter::kSelectorPrepare: return Prepare(block);
    case filter::kSelectorStart: return Start(block);
    case filter::kSelectorContinue: return Continue(block);
    case filter::kSelectorFinish: return Finish(block);
    default: return filter::kResultBadParameters;
  }
}

bool TPhotoshopFilter::RequestInput(TFilterRecord* block, TWKExchangeHeader& header, const uint8_t*& data) {
  block->maskRect = kNoRect;
  block->outRect = kNoRect;
  block->inRect = block->filterRect;
  block->inLoPlane = 0;
  block->inHiPlane = int16_t(block->planes - 1);
  if (!Advance(block)) return false;
  header = HeaderFor(block, block->inRowBytes);
  data = static_cast<const uint8_t*>(block->inData);
  return Describes(header, data);
}

bool TPhotoshopFilter::RequestOutput(TFilterRecord* block, TWKExchangeHeader& header, uint8_t*& data) {
  block->maskRect = kNoRect;
  block->inRect = kNoRect;
  block->outRect = block->filterRect;
  block->outLoPlane = 0;
  block->outHiPlane = int16_t(block->planes - 1);
  if (!Advance(block)) return false;
  header = HeaderFor(block, block->outRowBytes);
  data = static_cast<uint8_t*>(block->outData);
  return Describes(header, data);
}

void TPhotoshopFilter::ClearRequests(TFilterRecord* block) {
  block->maskRect = kNoRect;
  block->inRect = kNoRect;
  block->outRect = kNoRect;
}
