// The generic filter object: one per loaded plug-in library. The host's selectors 0..5 run
// the operations of the same slot; the requests tell the host which pixels to deliver.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "plugin/FilterInterface.h"
#include "plugin/PhotoshopDataInfo.h"

class TPhotoshopFilter {
 public:
  virtual ~TPhotoshopFilter() = default;

  virtual int16_t About(filter::TAboutRecord* record);
  virtual int16_t Parameters(filter::TFilterRecord* block);
  virtual int16_t Prepare(filter::TFilterRecord* block);
  virtual int16_t Start(filter::TFilterRecord* block);
  virtual int16_t Continue(filter::TFilterRecord* block);
  virtual int16_t Finish(filter::TFilterRecord* block);
  // A message box owned by window with AboutText and the caption AboutCaption, OK only.
  virtual void ShowAbout(intptr_t window);
  virtual void AfterCreate() {}

  static std::unique_ptr<TPhotoshopFilter> Create();

  // Runs the operation of the selector's slot; kResultBadParameters for any other selector.
  int16_t Dispatch(int16_t selector, void* parameterBlock);

  // Asks the host for the filtered rectangle's planes 0..planes-1 as input (mask and output
  // requests cleared) and calls advanceState. On success (advanceState present and 0, and
  // the host delivered a buffer that holds the rectangle) header is the plug-in's exchange
  // header and data the host's inData.
  static bool RequestInput(filter::TFilterRecord* block, TWKExchangeHeader& header, const uint8_t*& data);
  // The same for output: RowBytes = outRowBytes, data = outData.
  static bool RequestOutput(filter::TFilterRecord* block, TWKExchangeHeader& header, uint8_t*& data);
  // Leaves the host nothing more to deliver.
  static void ClearRequests(filter::TFilterRecord* block);

  std::string AboutCaption = "About";
  std::string AboutText;

 protected:
  TPhotoshopFilter() = default;
  static intptr_t HostWindow(const filter::TPlatformData* platformData);
};
