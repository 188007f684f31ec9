// What the demonstration list shows: one entry per script of the demonstration folder, sorted
// by file name, with the selection the list opens with and the choices the user makes in it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "demo/WKDemoScript.h"
#include "imaging/WKTypes.h"

class TWKDemonstrationModule;

class TWKDemoList {
 public:
  explicit TWKDemoList(TWKDemonstrationModule& module) : Module_(module) {}

  // Loads every "*.dsc" of the module's folder, sorts them by file name (ASCII letters without
  // regard to case) and selects the entry at the module's LastDemoIndex (clamped to the last).
  // False, with the reason, when a script cannot be read: the list is then not shown.
  bool Fill(std::string& error);

  int32_t Count() const { return static_cast<int32_t>(Scripts_.size()); }
  const TWKDemoScript& Script(int32_t index) const { return *Scripts_.at(static_cast<size_t>(index)); }
  std::string Caption(int32_t index) const { return Script(index).Title(); }
  // The picture shown beside the entry: the folder and the script's "Image"; empty without one.
  std::string ImageFile(int32_t index) const;

  // -1 when nothing is selected; Start is offered only with a selection.
  int32_t SelectedIndex() const { return Selected_; }
  void Select(int32_t index);
  bool StartEnabled() const { return Selected_ >= 0; }
  const TWKDemoScript* SelectedScript() const { return Selected_ >= 0 ? &Script(Selected_) : nullptr; }

  // The check box: takes effect at once, whatever button closes the list.
  bool ShowAtStartup() const;
  void SetShowAtStartup(bool value);
  // The list is closing: its selection becomes the module's LastDemoIndex.
  void Closing();

 private:
  TWKDemonstrationModule& Module_;
  std::vector<std::unique_ptr<TWKDemoScript>> Scripts_;
  int32_t Selected_ = -1;
};

// Where a picture of the given size goes in a square thumbnail of side size: fitted whole,
// keeping its proportions (small pictures are enlarged), centred across its short side.
TRect DemoThumbnailRect(TSize picture, int32_t size);
// File names in list order: ASCII letters compared without regard to case.
bool DemoFileNameLess(const std::string& a, const std::string& b);
