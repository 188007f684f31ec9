// The program-wide data: the 24 × 24 image list of tool-bar and menu images (indexes fixed
// across the program), and the tool created last.
#pragma once

#include "framework/WKComponent.h"
#include "framework/qt/WKImageList.h"

class TCommonDataModule : public TWKComponent {
 public:
  // Loads the image list from the program's icon folder.
  explicit TCommonDataModule(TWKComponent* owner);
  ~TCommonDataModule() override;

  TWKImageList New24TBXImageList{24};
  TWKComponent* LastCreatedTool = nullptr;
  // The progress meter joins here with the tool framework.
};

// The program's data module, or none.
TCommonDataModule* CommonDataModule();
