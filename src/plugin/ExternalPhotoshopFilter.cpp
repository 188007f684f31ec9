#include "plugin/ExternalPhotoshopFilter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/system/Process.h"
#include "platform/system/TemporaryFile.h"
#include "plugin/ExchangeTransfer.h"
#include "plugin/FileMapping.h"
#include "plugin/PluginMessages.h"

using filter::TFilterRecord;

namespace {

void ShowError(intptr_t window, const std::string& text) {
  ShowPluginMessage(window, text, "Error", TPluginMessageIcon::Error);
}

// 0 when path names an executable regular file, otherwise the error number an exec would see.
int ExecutableError(const std::string& path) {
  if (path.empty()) return ENOENT;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return errno;
  if (!S_ISREG(st.st_mode)) return EACCES;
  if (::access(path.c_str(), X_OK) != 0) return errno;
  return 0;
}

}  // namespace

std::unique_ptr<TExternalPhotoshopFilter> TExternalPhotoshopFilter::Create(const std::string& applicationPath,
                                                                           const std::string& aboutText,
                                                                           const std::string& aboutCaption) {
  std::unique_ptr<TExternalPhotoshopFilter> filter(new TExternalPhotoshopFilter);
  filter->SetApplicationPath(applicationPath);
  filter->AboutText = aboutText;
  filter->AboutCaption = aboutCaption;
  filter->AfterCreate();
  return filter;
}

void TExternalPhotoshopFilter::SetApplicationPath(const std::string& path) {
  ApplicationPath = path;
  if (!WorkingDirectory.empty()) return;
  const size_t slash = path.rfind('/');
  if (slash != std::string::npos) WorkingDirectory = path.substr(0, slash);
}

int16_t TExternalPhotoshopFilter::Start(TFilterRecord* block) {
  const intptr_t window = HostWindow(block->platformData);
  TWKExchangeHeader input;
  const uint8_t* inData = nullptr;
  if (!RequestInput(block, input, inData)) {
    ShowError(window, "Get image data error.");
    ClearRequests(block);
    return filter::kResultFailed;
  }
  const std::string fileName = WriteTemporaryFile(input, inData);
  if (fileName.empty()) {
    ShowError(window, "Create temp file error.");
    return filter::kResultFailed;
  }
  int16_t result = RunApplication(window, fileName);
  if (result == filter::kResultNoError) result = TakeOutput(block, window, fileName);
  ::unlink(fileName.c_str());
  ClearRequests(block);
  return result;
}

std::string TExternalPhotoshopFilter::WriteTemporaryFile(const TWKExchangeHeader& header, const uint8_t* inData) {
  const size_t size = ExchangeFileSize(header.RowBytes, header.Height);
  if (size == 0) return "";
  const std::string fileName = CreateTemporaryFile("PSP", ".tmp");
  if (fileName.empty()) return "";
  bool written = false;
  {
    TFileMapping mapping;
    if (mapping.Create(fileName, false) && mapping.SetSize(size)) {
      if (void* view = mapping.Map(0, 0, TFileAccess::Write)) {
        written = WriteHostImage(static_cast<uint8_t*>(view), size, header, inData);
        mapping.Unmap(view);
      }
    }
  }
  if (written) return fileName;
  ::unlink(fileName.c_str());
  return "";
}

int16_t TExternalPhotoshopFilter::RunApplication(intptr_t window, const std::string& fileName) {
  int error = ExecutableError(ApplicationPath);
  std::unique_ptr<TProcess> process;
  if (error == 0) process = TProcess::Start(ApplicationPath, {fileName}, WorkingDirectory, error);
  if (process == nullptr) {
    char number[16];
    std::snprintf(number, sizeof number, "%d", error);
    ShowError(window, "Execute application \"" + ApplicationPath + "\" error: " + number);
    return filter::kResultFailed;
  }
  return process->Wait() == 0 ? filter::kResultNoError : filter::kResultUserCanceled;
}

int16_t TExternalPhotoshopFilter::TakeOutput(TFilterRecord* block, intptr_t window, const std::string& fileName) {
  TWKExchangeHeader request;
  uint8_t* outData = nullptr;
  if (!RequestOutput(block, request, outData)) {
    ShowError(window, "Get out image data error.");
    return filter::kResultUserCanceled;
  }
  TFileMapping mapping;
  if (!mapping.Create(fileName, false)) return filter::kResultUserCanceled;
  const void* view = mapping.Map(0, 0, TFileAccess::Read);
  if (view == nullptr) return filter::kResultUserCanceled;
  const auto* bytes = static_cast<const uint8_t*>(view);
  const TTransferResult transfer = CopyExchangeToHost(bytes, size_t(mapping.MappingHandle()), request, outData);
  mapping.Unmap(const_cast<void*>(view));
  if (transfer == TTransferResult::Refused) ShowError(window, "Transfer image data error.");
  return transfer == TTransferResult::Done ? filter::kResultNoError : filter::kResultUserCanceled;
}
