#include "app/Composition.h"
#include "app/StartupReport.h"


#include "demo/WKDemonstrationModule.h"
#include "demo/qt/QtDemoPlatform.h"
#include "demo/qt/WKDemoEditorForm.h"
#include "demo/qt/WKDemonstrationForm.h"
#include "documents/WKGraphicsEditor.h"
#include "documents/WKGraphicsFormats.h"
#include "documents/qt/QtFileDialogs.h"
#include "documents/qt/WKJPEGOptionsForm.h"
#include "documents/qt/QtGraphicsEditorWindow.h"
#include "framework/WKApplication.h"
#include "framework/WKCommandLine.h"
#include "framework/WKPaths.h"
#include "framework/qt/CommonDataModule.h"
#include "framework/qt/MainForm.h"
#include "framework/qt/QtLocalFiles.h"
#include "framework/qt/QtText.h"
#include "help/WKHelp.h"
#include "help/qt/QtDownloader.h"
#include "help/qt/QtShell.h"
#include "help/qt/WKAbout.h"
#include "print/qt/WKGraphicsPrintModule.h"
#include "tools/geometry/WKTextTool.h"
#include "tools/geometry/qt/QtTextRasterizer.h"
#include "tools/geometry/qt/WKTextFrame.h"
#include "tools/original/WKOriginalImageTool.h"
#include "tools/brush/WKSmudgeTool.h"
#include "tools/brush/WKUndoBrushTool.h"
#include "tools/brush/qt/WKExpertBrushFrame.h"
#include "tools/eyes/GlareTool.h"
#include "tools/eyes/RedEyeTool.h"
#include "tools/eyes/SpotTool.h"
#include "tools/eyes/qt/GlareFrame.h"
#include "tools/eyes/qt/RedEyeFrame.h"
#include "tools/eyes/qt/SpotFrame.h"
#include "tools/framework/qt/QtLoadProgress.h"
#include "tools/framework/qt/QtProgressBar.h"
#include "tools/framework/qt/WKToolPanel.h"
#include "tools/geometry/CropTool.h"
#include "tools/geometry/FreeRotationTool.h"
#include "tools/geometry/ResizeTool.h"
#include "tools/geometry/RotateTool.h"
#include "tools/geometry/qt/CropFrame.h"
#include "tools/geometry/qt/FreeRotationFrame.h"
#include "tools/geometry/qt/ResizeFrame.h"
#include "tools/geometry/qt/RotateFrame.h"
#include "tools/retouch/AdjustmentTool.h"
#include "tools/retouch/EmphasisTool.h"
#include "tools/retouch/EyeColorTool.h"
#include "tools/retouch/qt/AdjustmentFrame.h"
#include "tools/retouch/qt/EmphasisFrame.h"
#include "tools/retouch/qt/EyeColorFrame.h"
#include "platform/codec/qt/QtImageCodec.h"
#include "view/WKGraphicsView.h"
#include "view/qt/QtGraphicsView.h"

namespace {

// The editor's windows over the main form; created after the form and before the editor, so
// that they go after the editor and before the form.
class TEditorWindows : public TWKComponent {
 public:
  TEditorWindows(TWKComponent* owner, TMainForm& form)
      : TWKComponent(owner), Window(form), Dialogs(&form) {
    Window.ViewWidget = [](TWKDocumentView& view) { return QtViewWidget(view); };
  }
  TQtGraphicsEditorWindow Window;
  TQtFileDialogs Dialogs;
};

// The about box: the product name and version on every page; the web site and the support page.
constexpr TWKLabelDescriptor kAboutLabels[] = {
    {.TextId = 156, .Flags = LabelBold, .Left = 96, .Top = 96, .Tab = -1},
    {.FixedText = QM_VERSION, .Flags = LabelSameLine, .Tab = -1},
    {.TextId = 54, .Flags = LabelRightAligned | LabelColon, .Left = 16, .Top = 132, .Width = 75},
    {.FixedText = QM_HOME_PAGE, .Flags = LabelSameLine | LabelHyperlink},
    {.TextId = 56, .Flags = LabelRightAligned | LabelColon, .Width = 75, .Spacing = 0.5f},
    {.FixedText = QM_SUPPORT_PAGE, .Flags = LabelSameLine | LabelHyperlink},
};

std::vector<std::string>& RawArguments() {
  static std::vector<std::string> arguments;
  return arguments;
}

TEditorTestHook EditorTestHook = nullptr;

// The files named on the command line (paths or file:// addresses) once Qt has taken its own
// options out.
std::vector<std::string> ProgramArguments() {
  std::vector<std::string> files;
  for (const std::string& file : ParseCommandLine(RawArguments()).Files) files.push_back(LocalFileFromArgument(file));
  return files;
}

// The demonstration module (shown at start until the settings say otherwise) on the options'
// desktop or the real one, and the demo editor module.
void CreateDemonstrationModules(TWKApplication& app, TMainForm& form, IWKMainWindow& window,
                                const TWKGraphicsEditor& editor, const TCompositionOptions& options,
                                bool unattended) {
  std::unique_ptr<IWKDemoPlatform> desktop =
      options.DemoPlatform ? options.DemoPlatform() : std::make_unique<TQtDemoPlatform>();
  auto* demo = app.CreateModule<TWKDemonstrationModule>(std::move(desktop), &window);
  demo->DemoFolder = editor.DemoFolder;
  demo->ShowAtStartup = true;
  demo->StartedOnPhoto = !editor.CommandLine().empty();
  // A program that a test hook drives shows no list: nobody would close it.
  if (!unattended) demo->ListFormFactory = [] { return std::make_unique<TQtDemoListForm>(); };
  app.CreateModule<TWKDemoEditorModule>(form, *demo);
}

// Step 9: the tools in panel order, with the separators between groups and their button images.
void CreatePanelTools(TWKApplication& app, TWKGraphicsEditor& editor) {
  TWKToolPanelModule* panel = ToolPanel();
  auto* smudge = CreateTool<TWKSmudgeTool>(&app, CreateSmudgeFrame);
  if (smudge->Button != nullptr) smudge->Button->SetImageIndex(35);
  auto* undoBrush = CreateTool<TWKUndoBrushTool>(&app, CreateUndoBrushFrame);
  if (undoBrush->Button != nullptr) undoBrush->Button->SetImageIndex(21);
  if (panel != nullptr) panel->AddToolSeparator(6);
  auto* resize = CreateTool<TWKResizeTool>(&app, CreateResizeFrame);
  if (resize->Button != nullptr) resize->Button->SetImageIndex(23);
  auto* crop = CreateTool<TWKCrop2PlusTool>(&app, CreateCropFrame);
  if (crop->Button != nullptr) crop->Button->SetImageIndex(24);
  auto* rotation = CreateTool<TWKRotation3Tool>(&app, CreateRotationFrame);
  if (rotation->Button != nullptr) rotation->Button->SetImageIndex(83);
  if (panel != nullptr) panel->AddToolSeparator(6);
  auto* text = CreateTool<TWKTextTool>(&app, CreateTextFrame);
  if (text->Button != nullptr) text->Button->SetImageIndex(79);
  auto* adjustment = CreateTool<TWKAdjustmentTool>(&app, resize, CreateAdjustmentFrame);
  if (adjustment->Button != nullptr) adjustment->Button->SetImageIndex(97);
  if (panel != nullptr) panel->AddToolSeparator(1000);
  auto* redEye = CreateTool<TWKRedEyeTool>(&app, CreateRedEyeFrame);
  if (redEye->Button != nullptr) redEye->Button->SetImageIndex(46);
  editor.SetCurrentTool(redEye);
  auto* glare = CreateTool<TWKGlareTool>(&app, CreateGlareFrame);
  if (glare->Button != nullptr) glare->Button->SetImageIndex(47);
  auto* eyeColor = CreateTool<TWKEyeColorTool>(&app, CreateEyeColorFrame);
  if (eyeColor->Button != nullptr) eyeColor->Button->SetImageIndex(98);
  auto* pupil = CreateTool<TWKPupilTool>(&app, CreateSpotFrame);
  if (pupil->Button != nullptr) pupil->Button->SetImageIndex(49);
  auto* catPupil = CreateTool<TWKCatPupilTool>(&app, CreateSpotFrame);
  if (catPupil->Button != nullptr) catPupil->Button->SetImageIndex(50);
  if (panel != nullptr) panel->AddToolSeparator(6);
  auto* emphasis = CreateTool<TWKEmphasisTool>(&app, CreateEmphasisFrame);
  if (emphasis->Button != nullptr) emphasis->Button->SetImageIndex(51);
}

}  // namespace

void SetProgramArguments(std::vector<std::string> arguments) { RawArguments() = std::move(arguments); }

void SetEditorTestHook(TEditorTestHook hook) { EditorTestHook = hook; }

TModule::TModule(TWKComponent* owner, TCompositionOptions options)
    : TWKComponent(owner), Options_(std::move(options)) {
  Name = "Module";
  Shell_ = std::make_unique<TQtShell>();
  Downloader_ = std::make_unique<TQtDownloader>();
  DataModuleCreate();
}

TModule::~TModule() {
  if (TextRasterizer() == TextRasterizer_.get()) SetTextRasterizer(nullptr);
}

void TModule::DataModuleCreate() {
  TWKApplication& app = *Application();
  // 1. The image list becomes the program-wide image list.
  if (TCommonDataModule* data = CommonDataModule()) SetProgramImageList(&data->New24TBXImageList);

  // 2. The image editor joins here; its constructor creates the main window (so the main window
  //    is the participant right after it), ends with the hand tool, sets the demonstration
  //    folder and the view buttons' images (previous 14, next 15, zoom in 10, zoom out 11,
  //    actual size 12, best fit 13).
  auto* form = app.CreateForm<TMainForm>();
  auto* windows = app.CreateModule<TEditorWindows>(*form);
  RegisterQtImageCodecs();  // BMP and the other containers Qt reads
  InstallQtViewWindows();
  InstallGraphicsViews();  // the documents' views and the editor's hand tool
  auto* editor = app.CreateModule<TWKGraphicsEditor>(windows->Window, windows->Window, windows->Dialogs);
  editor->DemoFolder = ProgramDataFolder("Demo") + "Demo/";
  editor->SetCommandLine(ProgramArguments());
  editor->Formats().SetQualityDialog(std::make_unique<TQtJPEGQualityDialog>());
  const bool testHooks = EditorTestHook != nullptr && EditorTestHook(*editor);
  const bool startupTest = InstallStartupReport(*editor);
  const bool unattended = testHooks || startupTest;

  // 3. Print and help modules (product "Quillmoor", language "English").
  app.CreateModule<TWKGraphicsPrintModule>(*editor, windows->Window, form);
  auto* help = app.CreateModule<TWKHelp>(windows->Window, *Shell_, *Downloader_);
  help->ProductVersion = QM_VERSION;
  help->HomePage = QM_HOME_PAGE;
  help->UpdateUrl = QM_UPDATE_URL;
  // 4. Demonstration module (it keeps the registry the tools fill) and demo editor module.
  CreateDemonstrationModules(app, *form, windows->Window, *editor, Options_, unattended);
  // 5. About module.
  app.CreateModule<TWKAbout>(windows->Window, *Shell_, form)
      ->SetLayout(kAboutLabels, static_cast<int32_t>(std::size(kAboutLabels)), "About");
  // 6. Tool panel module; a separator is appended to the editor's standard tool bar.
  app.CreateModule<TWKToolPanelModule>(*form);
  if (editor->StandardToolbar != nullptr)
    windows->Window.AddToolbarSeparator(editor->StandardToolbar, nullptr);
  // 7. Original-image tool; rotate/flip tool with its panel button hidden, its commands on the
  //    standard tool bar (images 16-19) and in the Edit menu.
  CreateTool<TWKOriginalImageTool>(&app, &windows->Window, editor->StandardToolbar);
  auto* rotate = CreateTool<TWKRotateTool>(&app, CreateRotateFrame);
  if (rotate->Button != nullptr) rotate->Button->SetVisible(false);
  rotate->AddCommandItems(windows->Window, editor->StandardToolbar, editor->EditMenuItem);
  // 8. The progress bar in the status bar (last panel width 200) and the progress meter over it.
  Progress_ = std::make_unique<TStatusProgress>(*form->StatusBar, 200);
  InstallQtLoadProgress(*form->StatusBar);
  // The text tool's lettering, before the tools are made.
  TextRasterizer_ = std::make_unique<TQtTextRasterizer>();
  SetTextRasterizer(TextRasterizer_.get());
  // 9. The tools in panel order with their button images: smudge 35, undo brush 21 | resize 23,
  //    crop 24, free rotation 83 | text 79, colour adjustment 97 | (width 1000) red-eye 46
  //    (then the editor's current tool), glare 47, eye colour 98, pupil 49, cat pupil 50 |
  //    emphasis 51.
  CreatePanelTools(app, *editor);
}
