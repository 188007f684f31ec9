#include "documents/WKGraphicsEditor.h"

#include <cctype>
#include <filesystem>
#include <variant>

#include "documents/WKBackgroundDecode.h"
#include "documents/WKDocumentTexts.h"
#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsFormats.h"
#include "documents/WKGraphicsToolHooks.h"
#include "documents/WKImageView.h"
#include "framework/WKApplication.h"
#include "framework/WKLocalizer.h"
#include "framework/WKMessageBox.h"
#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"
#include "platform/codec/StillImageCodec.h"

namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool IsFile(const std::string& name) {
  std::error_code error;
  return !name.empty() && std::filesystem::is_regular_file(name, error);
}

// A numeric script parameter, truncated to an integer.
bool NumericParam(const TWKCustomProperties& params, int index, int32_t& value) {
  const TWKVariant v = params.GetVariant(index);
  if (const int32_t* i = std::get_if<int32_t>(&v)) {
    value = *i;
    return true;
  }
  if (const double* d = std::get_if<double>(&v)) {
    if (!(*d > INT32_MIN && *d < INT32_MAX)) return false;
    value = static_cast<int32_t>(*d);
    return true;
  }
  return false;
}

std::string StringParam(const TWKCustomProperties& params, int index) {
  const TWKVariant v = params.GetVariant(index);
  const std::string* s = std::get_if<std::string>(&v);
  return s ? *s : std::string();
}

int32_t Ratio1000(int32_t numerator, int32_t denominator) {
  return MulDiv(1000, numerator, denominator);
}

int ShowMessage(const std::string& text, int flags) {
  TWKApplication* app = Application();
  return app ? app->MessageBox(text, flags) : 0;
}

std::string NameWithoutFolder(const std::string& fileName) {
  const size_t slash = fileName.find_last_of('/');
  return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

}  // namespace

TWKZoomRatio NextZoomStep(int32_t numerator, int32_t denominator, bool zoomIn) {
  const int32_t current = Ratio1000(numerator, denominator);
  if (zoomIn) {
    for (const TWKZoomRatio& step : ZoomSteps)
      if (Ratio1000(step.Numerator, step.Denominator) > current) return step;
    return ZoomSteps.back();
  }
  for (auto it = ZoomSteps.rbegin(); it != ZoomSteps.rend(); ++it)
    if (Ratio1000(it->Numerator, it->Denominator) < current) return *it;
  return ZoomSteps.front();
}

bool ZoomToFit(TSize view, TSize image, TWKZoomRatio& zoom) {
  if (view.Width < 1 || view.Height < 1 || image.Width < 1 || image.Height < 1) return false;
  // h / H >= w / W, compared without rounding.
  if (static_cast<int64_t>(image.Height) * view.Width >= static_cast<int64_t>(image.Width) * view.Height)
    zoom = {view.Height, image.Height};
  else
    zoom = {view.Width, image.Width};
  return true;
}

TWKGraphicsEditor::TWKGraphicsEditor(TWKComponent* owner, IWKMainWindow& mainWindow,
                                     IWKGraphicsMainWindow& graphicsWindow, IWKFileDialogs& dialogs,
                                     std::unique_ptr<TWKGraphicsFormats> formats)
    : TWKEditor(owner, mainWindow, dialogs),
      GraphicsWindow_(graphicsWindow),
      Formats_(formats ? std::move(formats) : std::make_unique<TWKGraphicsFormats>()) {
  Name = "GraphicsEditor";
  TStillImageCodec::Startup();
  CreateGraphicsItems();
  if (ViewMakers().ScrollTool) ScrollTool_ = ViewMakers().ScrollTool(*this);
}

TWKGraphicsEditor::~TWKGraphicsEditor() {
  // The documents and their views go while the tools may still be told.
  while (DocumentCount() > 0) RemoveDocument(Documents(DocumentCount() - 1));
  // The hand tool belongs to the application, which may already have freed it.
  if (TWKApplication* app = Application()) {
    for (int i = 0; i < app->ComponentCount(); ++i) {
      if (app->Components(i) == ScrollTool_) {
        delete ScrollTool_;
        break;
      }
    }
  }
  GraphicsWindow_.SetDropFileHandler(nullptr);
  TStillImageCodec::Shutdown();
}

void TWKGraphicsEditor::CreateGraphicsItems() {
  IWKMainWindow& w = MainWindow();
  IWKGraphicsMainWindow& g = GraphicsWindow_;
  IWKUIItem* file = w.FileMenuItem();
  IWKUIItem* fileSeparator = w.FileMenuSeparator();
  // The scanner component is not available here: its items exist but stay hidden.
  SelectTwainSourceMenuItem =
      w.AddMenuItem(LanguageString(102), "", fileSeparator, file, -1, [] {});
  AcquireMenuItem = w.AddMenuItem(LanguageString(101), "", fileSeparator, file, -1, [] {});
  ImportSubmenu = w.AddSubmenu(LanguageString(17), file, fileSeparator);
  for (IWKUIItem* item : {SelectTwainSourceMenuItem, AcquireMenuItem, ImportSubmenu})
    item->SetVisible(ScannerAvailable());

  g.SetDropFileHandler([this](const std::string& fileName) {
    TWKDocument* document = nullptr;
    OpenFile(fileName, document, true);
  });

  w.AddToolbarSeparator(StandardToolbar, EditToolbarSeparator);
  PrevImageButton = w.AddToolbarButton(StandardToolbar, EditToolbarSeparator, LanguageString(2104),
                                       14, [this] { PrevImageClick(); });
  NextImageButton = w.AddToolbarButton(StandardToolbar, EditToolbarSeparator, LanguageString(2105),
                                       15, [this] { NextImageClick(); });

  IWKUIItem* view = w.ViewMenuItem();
  ZoomMenuSeparator = w.AddSeparator(view, g.ToolbarsMenuItem());
  ZoomToolbarSeparator = w.AddToolbarSeparator(StandardToolbar, nullptr);
  ZoomInMenuItem = w.AddMenuItem(LanguageString(98), "Ctrl++", ZoomMenuSeparator, view, 10,
                                 [this] { ZoomInClick(); });
  ZoomInButton = w.AddToolbarButton(StandardToolbar, nullptr, LanguageString(98), 10,
                                    [this] { ZoomInClick(); });
  ZoomOutMenuItem = w.AddMenuItem(LanguageString(99), "Ctrl+-", ZoomMenuSeparator, view, 11,
                                  [this] { ZoomOutClick(); });
  ZoomOutButton = w.AddToolbarButton(StandardToolbar, nullptr, LanguageString(99), 11,
                                     [this] { ZoomOutClick(); });
  ActualSizeMenuItem = w.AddMenuItem(LanguageString(133), "Ctrl+Alt+0", ZoomMenuSeparator, view,
                                     12, [this] { ActualSizeClick(); });
  ActualSizeButton = w.AddToolbarButton(StandardToolbar, nullptr, LanguageString(166), 12,
                                        [this] { ActualSizeClick(); });
  ScaleToBestFitMenuItem = w.AddMenuItem(LanguageString(178), "", ZoomMenuSeparator, view, 13,
                                         [this] { BestFitClick(); });
  ScaleToBestFitButton = w.AddToolbarButton(StandardToolbar, nullptr, LanguageString(178), 13,
                                            [this] { BestFitClick(); });

  CloseMenuSeperator = w.AddSeparator(file, fileSeparator);

  const int32_t label = std::max(g.FontHeight(), 8) * 3 / 2;  // "W:"
  const int32_t value = std::max(g.FontHeight(), 8) * 7 / 2;  // "-12345"
  auto pair = [&](const char* text) {
    g.AddStatusPanel(text, label);
    return g.AddStatusPanel("", value);
  };
  XStatusPanel = pair("X:");
  YStatusPanel = pair("Y:");
  WStatusPanel = pair("W:");
  HStatusPanel = pair("H:");
  RStatusPanel = pair("R:");
  GStatusPanel = pair("G:");
  BStatusPanel = pair("B:");
  MessageStatusPanel = g.AddStatusPanel("", 0);
}

void TWKGraphicsEditor::Start() {
  TWKApplication* app = Application();
  if (app == nullptr || app->MessageLoop() == nullptr || app->MainForm() == nullptr || CommandLine().empty()) {
    TWKEditor::Start();
    return;
  }
  StartupOpenPending_ = true;
  app->PostDeferredCall([this] { OpenStartupFile(); });
}

void TWKGraphicsEditor::OpenStartupFile() {
  TWKBackgroundDecode open({
      .Reduced = [this](const TWKLTBitmap& reduced, int32_t width,
                        int32_t height) { GraphicsWindow_.ShowReducedPicture(&reduced, width, height); },
      .Wait =
          [](double) {
            if (TWKApplication* app = Application(); app != nullptr && app->MessageLoop() != nullptr)
              app->MessageLoop()->RunFor(4);
          },
  });
  TWKEditor::Start();
  GraphicsWindow_.ShowReducedPicture(nullptr, 0, 0);
  StartupOpenPending_ = false;
}

void TWKGraphicsEditor::Localize() {
  TWKEditor::Localize();
  SelectTwainSourceMenuItem->SetCaption(LanguageString(102));
  AcquireMenuItem->SetCaption(LanguageString(101));
  ImportSubmenu->SetCaption(LanguageString(17));
  PrevImageButton->SetHint(LanguageString(2104));
  NextImageButton->SetHint(LanguageString(2105));
  ZoomInMenuItem->SetCaption(LanguageString(98));
  ZoomInButton->SetHint(LanguageString(98));
  ZoomOutMenuItem->SetCaption(LanguageString(99));
  ZoomOutButton->SetHint(LanguageString(99));
  ActualSizeMenuItem->SetCaption(LanguageString(166));
  ActualSizeButton->SetHint(LanguageString(166));
  ScaleToBestFitMenuItem->SetCaption(LanguageString(178));
  ScaleToBestFitButton->SetHint(LanguageString(178));
  if (OkButton) OkButton->SetCaption(LanguageString(3001));
  if (CancelButton) CancelButton->SetCaption(LanguageString(3002));
}

void TWKGraphicsEditor::LoadSettings(TWKSDFReader& reader) {
  TWKEditor::LoadSettings(reader);
  if (!reader.OpenNode(1, GraphicsEditorSettingsGuid)) return;
  int32_t quality = 0;
  if (reader.ReadInteger(1, quality) && quality >= 0 && quality <= 100) Formats_->JpegQuality = quality;
  reader.ReadBoolean(2, StoredFlag);
  reader.CloseNode();
}

void TWKGraphicsEditor::SaveSettings(TWKSDFWriter& writer) {
  TWKEditor::SaveSettings(writer);
  writer.BeginNode(1, GraphicsEditorSettingsGuid);
  writer.WriteInteger(1, Formats_->JpegQuality);
  writer.WriteBoolean(2, StoredFlag);
  writer.EndNode();
}

void TWKGraphicsEditor::UpdateControls() {
  TWKEditor::UpdateControls();
  const bool open = CurrentDocument() != nullptr;
  for (IWKUIItem* item : {ZoomInMenuItem, ZoomOutMenuItem, ActualSizeMenuItem, ScaleToBestFitMenuItem,
                          ZoomInButton, ZoomOutButton, ActualSizeButton, ScaleToBestFitButton})
    item->SetEnabled(open);
  PrevImageButton->SetEnabled(FolderList_.HasPrevious());
  NextImageButton->SetEnabled(FolderList_.HasNext());
}

void TWKGraphicsEditor::BringToFront(TWKDocument* document) {
  if (document != nullptr && document->FormatId == gfExchange && !PluginMode()) SetPluginMode(true);
  TWKEditor::BringToFront(document);
}

void TWKGraphicsEditor::UpdateTitle(const void* sender) {
  if (!PluginMode()) {
    TWKEditor::UpdateTitle(sender);
    return;
  }
  TWKApplication* app = Application();
  MainWindow().SetCaption(app ? app->GetTitle() : std::string());
}

TWKDocumentFormats* TWKGraphicsEditor::GetFileFormats() { return Formats_.get(); }

std::unique_ptr<TWKDocument> TWKGraphicsEditor::CreateDocument() {
  return std::make_unique<TWKGraphicsDocument>(*this);
}

void TWKGraphicsEditor::ShowDocument(TWKDocument& document, TWKDocumentView*& view) {
  TWKEditor::ShowDocument(document, view);
  auto* imageView = dynamic_cast<IWKImageView*>(view);
  auto* graphics = dynamic_cast<TWKGraphicsDocument*>(&document);
  if (imageView == nullptr || graphics == nullptr) return;
  TWKGraphicsView& shown = imageView->GraphicsView();
  BroadcastToTools([&shown](IWKGraphicsTool& tool) { tool.CreateControl(shown); });
  imageView->SetImageBounds(graphics->ImageRect());
  FitView(*imageView, *graphics);
  if (CurrentTool_) CurrentTool_->Activate();
  imageView->ShowImageLayer();
  imageView->UpdateScrollRange();
  ShowImageSize(graphics->CurrentImage.Width(), graphics->CurrentImage.Height());
  ShowStatusMessage("");
}

void TWKGraphicsEditor::PluginSave() {
  TWKDocument* document = CurrentDocument();
  if (document == nullptr) return;
  if (document->Save()) {
    if (TWKApplication* app = Application()) app->ExitCode = PluginExitApplied;
    return;
  }
  ShowMessage(FormatText(LanguageString(3098), Formats_->LastError), MB_OK | MB_ICONERROR);
}

bool TWKGraphicsEditor::SaveAs(TWKDocument& document) {
  if (!PluginMode()) return TWKEditor::SaveAs(document);
  if (!document.Save()) {
    ShowMessage(FormatText(LanguageString(3098), Formats_->LastError), MB_OK | MB_ICONERROR);
    return false;
  }
  if (TWKApplication* app = Application()) app->ExitCode = PluginExitApplied;
  return true;
}

int TWKGraphicsEditor::AskSaveChanges(const std::string& name) {
  if (!PluginMode()) return TWKEditor::AskSaveChanges(name);
  return ShowMessage(FormatText(LanguageString(94), LanguageString(500)),
                     MB_YESNOCANCEL | MB_ICONWARNING);
}

void TWKGraphicsEditor::DocumentOpened(TWKDocument& document) {
  if (!PluginMode()) TWKEditor::DocumentOpened(document);
}

void TWKGraphicsEditor::SetPluginMode(bool value) {
  if (!value || PluginMode()) return;
  IWKMainWindow& w = MainWindow();
  IWKGraphicsMainWindow& g = GraphicsWindow_;
  if (TWKApplication* app = Application()) app->SetTitle(app->GetTitle() + " Plug-in");
  for (IWKUIItem* item : {PrevImageButton, NextImageButton, w.FileMenuItem(), OpenToolButton,
                          SaveToolButton, EditToolbarSeparator})
    item->SetVisible(false);
  w.AddToolbarSeparator(StandardToolbar, nullptr);
  OkButton = g.AddTextButton(StandardToolbar, LanguageString(3001), [this] { PluginApplyClick(); });
  CancelButton =
      g.AddTextButton(StandardToolbar, LanguageString(3002), [this] { PluginCancelClick(); });
  TWKEditor::SetPluginMode(true);
  FolderList_.Clear();
  if (TWKApplication* app = Application()) app->ExitCode = PluginExitCancelled;
  UpdateTitle(this);
}

bool TWKGraphicsEditor::OpenFile(const std::string& fileName, TWKDocument*& document,
                                 bool addToRecent) {
  if (!TWKEditor::OpenFile(fileName, document, addToRecent)) return false;
  IWKImageView* view = CurrentImageView();
  if (view == nullptr) return true;
  if (PluginMode())
    FolderList_.Clear();
  else
    FolderList_.Build(fileName);
  FitView(*view, *CurrentImageDocument());
  const TSize size = view->WindowSize();
  RecordCommand(Recorder(), "Open", "Open Image",
                "ImageOpen \"" + NameWithoutFolder(fileName) + "\", " + std::to_string(size.Width) +
                    ", " + std::to_string(size.Height));
  return true;
}

bool TWKGraphicsEditor::CanUndo() {
  TWKGraphicsDocument* document = CurrentImageDocument();
  return TWKEditor::CanUndo() && !(document && document->EditActive());
}

bool TWKGraphicsEditor::CanRedo() {
  TWKGraphicsDocument* document = CurrentImageDocument();
  return TWKEditor::CanRedo() && !(document && document->EditActive());
}

// The current tool steps aside while the tools hear of the state about to be undone or redone
// and of the one pending after it.
void TWKGraphicsEditor::StepHistory(bool redo) {
  TWKCommandHistoryList* history = GetHistory();
  if (history == nullptr) return;
  IWKGraphicsTool* remembered = CurrentTool_;
  SetCurrentTool(nullptr);
  const auto pending = [history, redo] { return redo ? history->NextRedo() : history->LastDone(); };
  TWKCommandState* state = pending();
  BroadcastToTools([&](IWKGraphicsTool& tool) {
    if (redo)
      tool.BeforeRedo(state);
    else
      tool.BeforeUndo(state);
  });
  if (redo)
    TWKEditor::Redo();
  else
    TWKEditor::Undo();
  state = pending();
  BroadcastToTools([&](IWKGraphicsTool& tool) {
    if (redo)
      tool.AfterRedo(state);
    else
      tool.AfterUndo(state);
  });
  ShowStatusMessage("");  // a step's outcome ("Eyes repaired: 2") no longer describes the image
  SetCurrentTool(remembered);
}

void TWKGraphicsEditor::Undo() { StepHistory(false); }
void TWKGraphicsEditor::Redo() { StepHistory(true); }

bool TWKGraphicsEditor::MainFormMouseWheel(TWKShiftState shift, int32_t wheelDelta,
                                           TPoint screenPoint) {
  IWKImageView* view = CurrentImageView();
  return view != nullptr && view->WheelAtScreen(shift, wheelDelta > 0 ? 1 : -1, screenPoint);
}

void TWKGraphicsEditor::NextImageClick() {
  if (!FolderList_.HasNext()) return;
  const std::string next = FolderList_.Next();
  TWKDocument* document = nullptr;
  OpenFile(next, document, true);
}

void TWKGraphicsEditor::PrevImageClick() {
  if (!FolderList_.HasPrevious()) return;
  const std::string previous = FolderList_.Previous();
  TWKDocument* document = nullptr;
  OpenFile(previous, document, true);
}

void TWKGraphicsEditor::ApplyZoom(const TWKZoomRatio& zoom, const char* target,
                                  const char* message) {
  IWKImageView* view = CurrentImageView();
  if (view == nullptr) return;
  RecordCommand(Recorder(), target, message, target);
  view->SetZoom(zoom.Numerator, zoom.Denominator);
}

void TWKGraphicsEditor::ZoomInClick() {
  if (IWKImageView* view = CurrentImageView())
    ApplyZoom(NextZoomStep(view->ZoomNumerator(), view->ZoomDenominator(), true), "ZoomIn", "Zoom In");
}

void TWKGraphicsEditor::ZoomOutClick() {
  if (IWKImageView* view = CurrentImageView())
    ApplyZoom(NextZoomStep(view->ZoomNumerator(), view->ZoomDenominator(), false), "ZoomOut",
              "Zoom Out");
}

void TWKGraphicsEditor::ActualSizeClick() { ApplyZoom({1, 1}, "ActualSize", "Actual Size"); }

void TWKGraphicsEditor::BestFitClick() {
  IWKImageView* view = CurrentImageView();
  if (view == nullptr) return;
  RecordCommand(Recorder(), "BestFit", "Best Fit", "BestFit");
  ZoomViewToFit(*view, *CurrentImageDocument());
}

void TWKGraphicsEditor::PluginApplyClick() {
  TWKGraphicsDocument* document = CurrentImageDocument();
  if (document == nullptr) {
    MainWindow().Close();
    return;
  }
  document->EndEditTransaction(this);
  if (!document->Save()) {
    // The host must not take a failed write for edited pixels: stay open, exit code unchanged.
    ShowMessage(FormatText(LanguageString(3098), Formats_->LastError), MB_OK | MB_ICONERROR);
    return;
  }
  if (TWKApplication* app = Application()) app->ExitCode = PluginExitApplied;
  MainWindow().Close();
}

void TWKGraphicsEditor::PluginCancelClick() {
  if (TWKGraphicsDocument* document = CurrentImageDocument()) {
    document->EndEditTransaction(this);
    document->SetSaved(true);
  }
  MainWindow().Close();
}

void TWKGraphicsEditor::SetCurrentTool(IWKGraphicsTool* tool) {
  IWKGraphicsTool* old = CurrentTool_;
  if (old) old->Deactivate();
  PreviousTool_ = old;
  CurrentTool_ = tool;
  if (tool) tool->Activate();
}

TWKGraphicsDocument* TWKGraphicsEditor::CurrentImageDocument() const {
  return dynamic_cast<TWKGraphicsDocument*>(CurrentDocument());
}

TWKGraphicsView* TWKGraphicsEditor::CurrentView() const {
  TWKGraphicsDocument* document = CurrentImageDocument();
  return document ? document->ExistingView() : nullptr;
}

IWKImageView* TWKGraphicsEditor::CurrentImageView() const {
  TWKGraphicsDocument* document = CurrentImageDocument();
  return document ? document->ImageView() : nullptr;
}

bool TWKGraphicsEditor::CanToolEdit(IWKGraphicsTool* tool) const {
  TWKGraphicsDocument* document = CurrentImageDocument();
  if (document == nullptr) return false;
  if (ToolsLocked_ && tool != CurrentTool_) return false;
  IWKGraphicsTool* holder = document->EditTool();
  if (document->EditActive() && holder != nullptr && holder != tool && holder->ExclusiveEdit())
    return false;
  return true;
}

void TWKGraphicsEditor::ZoomViewToFit(IWKImageView& view, const TWKGraphicsDocument& document) {
  const TSize bounds = view.WindowSize();
  TWKZoomRatio zoom;
  if (ZoomToFit(bounds, {document.CurrentImage.Width(), document.CurrentImage.Height()}, zoom))
    view.SetZoom(zoom.Numerator, zoom.Denominator);
}

void TWKGraphicsEditor::FitView(IWKImageView& view, const TWKGraphicsDocument& document) {
  const TSize bounds = view.WindowSize();
  if (bounds.Width >= document.CurrentImage.Width() && bounds.Height >= document.CurrentImage.Height())
    view.SetZoom(1, 1);
  else
    ZoomViewToFit(view, document);
}

void TWKGraphicsEditor::SetZoomToFit() {
  if (IWKImageView* view = CurrentImageView()) ZoomViewToFit(*view, *CurrentImageDocument());
}

void TWKGraphicsEditor::FitNewImage() {
  if (IWKImageView* view = CurrentImageView()) FitView(*view, *CurrentImageDocument());
}

void TWKGraphicsEditor::FitWindowToWorkArea(TRect& window) const {
  window = FitRectInto(window, GraphicsWindow_.WorkArea());
}

void TWKGraphicsEditor::SetMinViewSize(int32_t width, int32_t height) {
  IWKImageView* view = CurrentImageView();
  const TSize bounds = view ? view->WindowSize() : TSize{};
  TRect window = GraphicsWindow_.WindowRect();
  window.Right += std::max(0, width - bounds.Width);
  window.Bottom += std::max(0, height - bounds.Height);
  FitWindowToWorkArea(window);
  GraphicsWindow_.SetWindowRect(window);
}

void TWKGraphicsEditor::SetMinWindowSize(int32_t width, int32_t height) {
  const TRect area = GraphicsWindow_.WorkArea();
  TRect window = GraphicsWindow_.WindowRect();
  if (window.Width() < width) {
    const int32_t left = area.Left + (area.Width() - width) / 2;
    window = Bounds(left, window.Top, width, window.Height());
  }
  if (window.Height() < height) {
    const int32_t top = area.Top + (area.Height() - height) / 2;
    window = Bounds(window.Left, top, window.Width(), height);
  }
  GraphicsWindow_.SetWindowRect(window);
}

void TWKGraphicsEditor::SetWindowSize(int32_t width, int32_t height) {
  const TRect window = GraphicsWindow_.WindowRect();
  GraphicsWindow_.SetWindowRect(Bounds(window.Left, window.Top, width, height));
}

bool TWKGraphicsEditor::ExecuteScriptCommand(const std::string& command,
                                             const TWKCustomProperties& params) {
  ScriptCommandFailed = false;
  if (command == "IMAGEOPEN") {
    const std::string name = StringParam(params, 0);
    const std::string demoPath = DemoFolder + name;
    const std::string path = IsFile(demoPath) ? demoPath : name;
    TWKDocument* document = nullptr;
    if (!OpenFile(path, document, true)) {
      ScriptCommandFailed = true;
      return true;
    }
    document->NoSaveQuery = true;
    int32_t width = 0, height = 0;
    if (params.Count() == 3 && NumericParam(params, 1, width) && NumericParam(params, 2, height)) {
      SetMinViewSize(width, height);
      FitNewImage();
    }
    return true;
  }
  if (command == "ZOOMIN") return ZoomInClick(), true;
  if (command == "ZOOMOUT") return ZoomOutClick(), true;
  if (command == "ACTUALSIZE") return ActualSizeClick(), true;
  if (command == "BESTFIT") return BestFitClick(), true;
  if (command == "SETMINVIEWSIZE" || command == "SETMINWINDOWSIZE") {
    int32_t width = 0, height = 0;
    if (!NumericParam(params, 0, width) || !NumericParam(params, 1, height)) return true;
    if (command == "SETMINVIEWSIZE")
      SetMinViewSize(width, height);
    else
      SetMinWindowSize(width, height);
    FitNewImage();
    return true;
  }
  return TWKEditor::ExecuteScriptCommand(command, params);
}

bool TWKGraphicsEditor::GetScriptCommandPoint(const TWKCustomProperties& params, TPoint& point) {
  const std::string name = Upper(StringParam(params, 0));
  IWKUIItem* item = nullptr;
  if (name == "OPEN" || name == "OPENBUTTON") item = OpenToolButton;
  if (name == "ZOOMIN") item = ZoomInButton;
  if (name == "ZOOMOUT") item = ZoomOutButton;
  if (name == "ACTUALSIZE") item = ActualSizeButton;
  if (name == "BESTFIT") item = ScaleToBestFitButton;
  if (item != nullptr) return ShownCenter(item, point);
  if (name == "IMAGE") {
    IWKImageView* view = CurrentImageView();
    int32_t x = 0, y = 0;
    return view != nullptr && NumericParam(params, 1, x) && NumericParam(params, 2, y) &&
           view->ImageToScreen({x, y}, point);
  }
  return TWKEditor::GetScriptCommandPoint(params, point);
}

void TWKGraphicsEditor::ShowPosition(TPoint p, const TBGRPixel& pixel) {
  XStatusPanel->SetCaption(std::to_string(p.X));
  YStatusPanel->SetCaption(std::to_string(p.Y));
  RStatusPanel->SetCaption(std::to_string(pixel.Red));
  GStatusPanel->SetCaption(std::to_string(pixel.Green));
  BStatusPanel->SetCaption(std::to_string(pixel.Blue));
}

IWKUIItem* TWKGraphicsEditor::AddEditMenuItem(const std::string& caption, const std::string& shortcut,
                                              TWKClickHandler click) {
  if (EditMenuItem == nullptr) return nullptr;
  return MainWindow().AddMenuItem(caption, shortcut, nullptr, EditMenuItem, -1, std::move(click));
}

void TWKGraphicsEditor::ShowStatusMessage(const std::string& text) {
  if (MessageStatusPanel != nullptr) MessageStatusPanel->SetCaption(text);
}

void TWKGraphicsEditor::ShowImageSize(int32_t width, int32_t height) {
  WStatusPanel->SetCaption(std::to_string(width));
  HStatusPanel->SetCaption(std::to_string(height));
}
