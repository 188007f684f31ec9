// Option frames in the real tool panel of a main form, with the demonstration registry that the
// tools register their controls with.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "framework/WKApplication.h"
#include "framework/qt/MainForm.h"
#include "tools/framework/WKDemoRegistry.h"
#include "tools/framework/qt/WKToolPanel.h"

class OptionFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDemoRegistry(&registry);
    app = std::make_unique<TWKApplication>();
    form = app->CreateForm<TMainForm>();
    panel = app->CreateModule<TWKToolPanelModule>(*form);
  }
  void TearDown() override {
    app.reset();
    SetDemoRegistry(nullptr);
  }

  TWKDemoRegistry registry;
  std::unique_ptr<TWKApplication> app;
  TMainForm* form = nullptr;
  TWKToolPanelModule* panel = nullptr;
};
