// The main window: tool-bar docks on all four edges, dock areas for dockable panels, the menu
// bar (File, View with Toolbars and Language, Help), the status bar and the program image list.
// Other modules add their menu items, tool bars and panels through it.
#pragma once

#include <QMainWindow>
#include <QKeySequence>
#include <QList>
#include <QUrl>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "framework/WKGuid.h"
#include "framework/qt/WKForm.h"
#include "framework/qt/WKImageList.h"

class QAction;
class QActionGroup;
class QDockWidget;
class QKeyEvent;
class QMenu;
class QMenuBar;
class QStatusBar;
class QToolBar;

// The platform's window-placement record: eleven 32-bit integers, 44 bytes little-endian.
struct TWindowPlacement {
  static constexpr int kShowNormal = 1;
  static constexpr int kShowMaximized = 3;
  int32_t Length = 44;
  int32_t Flags = 0;
  int32_t ShowCmd = kShowNormal;
  int32_t MinX = -1, MinY = -1, MaxX = -1, MaxY = -1;
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;

  std::array<uint8_t, 44> ToBytes() const;
  static TWindowPlacement FromBytes(const uint8_t* bytes);
  // A record worth restoring: the right length and a normal rectangle of sane size.
  bool IsPlausible() const;
};

class TMainForm : public TWKFormOf<QMainWindow> {
 public:
  static constexpr TWKGUID kSettingsGuid = WKGuid("{7AF6D7FF-618B-41D9-882E-419D500DF28B}");
  static constexpr Qt::ToolBarArea TopDock = Qt::TopToolBarArea, LeftDock = Qt::LeftToolBarArea,
                                   RightDock = Qt::RightToolBarArea, BottomDock = Qt::BottomToolBarArea;
  static constexpr Qt::DockWidgetArea TopMultiDock = Qt::TopDockWidgetArea,
                                      LeftMultiDock = Qt::LeftDockWidgetArea,
                                      RightMultiDock = Qt::RightDockWidgetArea,
                                      BottomMultiDock = Qt::BottomDockWidgetArea;

  explicit TMainForm(TWKComponent* owner);
  ~TMainForm() override;

  // A menu item with the program image list's image; parent none = the menu bar. Inserted in
  // front of before when that is a child of the parent, otherwise appended.
  QAction* AddMenuItem(const std::string& caption, const QKeySequence& shortcut, QAction* before,
                       QAction* parent, int imageIndex, std::function<void()> onClick);
  QAction* AddSubmenu(const std::string& caption, QAction* parent, QAction* before);
  QAction* AddSeparator(QAction* parent, QAction* before);
  // A tool bar docked at the top, with a visibility item in the Toolbars submenu.
  QToolBar* AddToolbar(const std::string& caption);
  // A button whose caption and hint are both the given text.
  QAction* AddToolbarButton(QToolBar* toolbar, TWKImageList* images, QAction* before,
                            const std::string& caption, int imageIndex, std::function<void()> onClick);
  // Loads the image "<name>.svg/.png/.bmp" from the program's icon folder (raster images take
  // their top-left pixel's colour as transparent) and "<name>Disabled" likewise; returns the
  // new index in ImageList(), or -1 when the image is missing or unreadable.
  int AddToolbarImage(const std::string& resourceName);
  // A new dockable panel owned by the main window; the caller docks it.
  QDockWidget* CreateDockablePanel();
  // The program image list once the composition has started, before that DefaultImages.
  TWKImageList* ImageList() { return ProgramImageList() ? ProgramImageList() : &DefaultImages; }

  void Localize() override;
  void UpdateControls() override;
  void Initialize() override;
  void LoadSettings(TWKSDFReader& reader) override;
  void SaveSettings(TWKSDFWriter& writer) override;
  void ExitMenuItemClick();

  // Takes the first of the dropped files when it exists and a drop-file handler is assigned.
  void FilesDropped(const QList<QUrl>& urls);

  TWindowPlacement Placement() const;
  void RestorePlacement(const TWindowPlacement& placement);

  // Called with the first dropped file when it exists.
  std::function<void(const std::string& fileName)> OnDropFile;
  // Called from UpdateControls.
  std::function<void()> OnUpdate;
  // Asked before the window closes; false keeps it open.
  std::function<bool()> OnCloseQuery;
  // Sees every key press and release meant for a widget of this window first; true consumes it.
  std::function<bool(QKeyEvent* event)> OnKeyPreview;

  QMenuBar* Menu = nullptr;
  QStatusBar* StatusBar = nullptr;
  TWKImageList DefaultImages;
  QAction* FileMenuItem = nullptr;
  QAction* FileMenuSeparator = nullptr;
  QAction* ExitMenuItem = nullptr;
  QAction* ViewMenuItem = nullptr;
  QAction* ToolbarsMenuItem = nullptr;
  QAction* ViewMenuSeparator = nullptr;
  QAction* LanguageMenuItem = nullptr;
  QAction* HelpMenuItem = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenus();
  void FillLanguageMenu();
  void UpdateToolbarItemCaptions();
  // The menu widget an item goes into: the parent's submenu, or the menu bar.
  QWidget* MenuWidget(QAction* parent) const;

  QActionGroup* LanguageGroup_ = nullptr;
  std::vector<QToolBar*> Toolbars_;
  bool AltAlone_ = false;
};
