// The library's life: loading marks the plug-in in use, reads the application's path and
// creates the filter object; unloading frees them. ENTRYPOINT is the only exported symbol.
#include <memory>
#include <string>

#include "platform/system/NamedMutex.h"
#include "plugin/ExternalPhotoshopFilter.h"
#include "plugin/FilterInterface.h"
#include "plugin/PluginSettings.h"

namespace {

struct TPluginLibrary {
  TPluginLibrary()
      : InUse(TNamedMutex::Create(kInUseMutexName)),
        Filter(TExternalPhotoshopFilter::Create(ReadApplicationPath(), PluginAboutText(), kAboutCaption)) {}

  std::unique_ptr<TNamedMutex> InUse;
  std::unique_ptr<TPhotoshopFilter> Filter;
};

TPluginLibrary gLibrary;

}  // namespace

extern "C" __attribute__((visibility("default"))) void ENTRYPOINT(int16_t selector, void* parameterBlock,
                                                                  intptr_t* /*data*/, int16_t* result) {
  if (result == nullptr) return;
  *result = filter::kResultBadParameters;
  if (gLibrary.Filter == nullptr || selector < filter::kSelectorAbout || selector > filter::kSelectorFinish) return;
  *result = gLibrary.Filter->Dispatch(selector, parameterBlock);
}
