#include "framework/qt/CommonDataModule.h"

#include "framework/WKPaths.h"
#include "framework/qt/QtText.h"

namespace {
TCommonDataModule* gCommonData = nullptr;
}

TCommonDataModule* CommonDataModule() { return gCommonData; }

TCommonDataModule::TCommonDataModule(TWKComponent* owner) : TWKComponent(owner) {
  Name = "CommonDataModule";
  New24TBXImageList.LoadSvgFolder(ToQString(ProgramDataFolder("icons") + "icons"));
  if (gCommonData == nullptr) gCommonData = this;
}

TCommonDataModule::~TCommonDataModule() {
  if (gCommonData == this) gCommonData = nullptr;
}
