// Anything drawn on a view: bounds in document coordinates, a background and a foreground layer.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/WKTypes.h"
#include "view/WKMapMode.h"

class TWKViewCanvas;

enum : uint8_t {
  vofVisible = 1,
  vofBackground = 2,
  vofForeground = 4,
  vofPainted = 8,
  vofToolOverlay = 16,
};

// Hit-test answers.
enum : int32_t { htNone = 0, htOverlap = 1, htNear = 2, htInside = 3 };

class TWKViewObject {
 public:
  uint8_t Flags = 0;
  TRect Bounds;

  // Sets the base flags. A subclass that overrides InitFlags calls it again from its own
  // constructor: the base constructor only reaches the base version.
  TWKViewObject() { TWKViewObject::InitFlags(); }
  virtual ~TWKViewObject() = default;
  TWKViewObject(const TWKViewObject&) = delete;
  TWKViewObject& operator=(const TWKViewObject&) = delete;

  bool Visible() const { return (Flags & vofVisible) != 0; }
  bool HasBackground() const { return (Flags & vofBackground) != 0; }
  bool HasForeground() const { return (Flags & vofForeground) != 0; }

  virtual void SetVisible(bool value);
  virtual void SetBounds(const TRect& rect);
  virtual void InitFlags();
  virtual void GetUpdateRect(const TWKMapMode& mapMode, TRect& rect);
  virtual void GetBackgroundRect(const TWKMapMode& mapMode, TRect& rect);
  virtual void GetForegroundRect(const TWKMapMode& mapMode, TRect& rect);
  virtual bool IsVisibleOn(TWKViewCanvas& canvas);
  virtual void PaintBackground(TWKViewCanvas& canvas) {}
  virtual void PaintForeground(TWKViewCanvas& canvas) {}
  virtual void AfterPaint() {}
  virtual void Paint(TWKViewCanvas& canvas);
  virtual bool HitTest(int32_t x, int32_t y) { return false; }
  virtual int32_t HitTestPoint(const TWKMapMode& mapMode, TPoint point, int32_t tolerance);
  virtual int32_t HitTestRect(const TWKMapMode& mapMode, const TRect& rect, int32_t tolerance);
};

// Owning, ordered: index 0 is the bottom, the last entry the top.
class TWKViewObjectList {
 public:
  TWKViewObject* Add(std::unique_ptr<TWKViewObject> object);
  TWKViewObject* Insert(int32_t index, std::unique_ptr<TWKViewObject> object);
  // Hands the object back to the caller; none when it is not in the list.
  std::unique_ptr<TWKViewObject> Extract(const TWKViewObject* object);
  void Delete(int32_t index);
  void Clear() { Items_.clear(); }
  int32_t IndexOf(const TWKViewObject* object) const;
  int32_t Count() const { return static_cast<int32_t>(Items_.size()); }
  TWKViewObject* Items(int32_t index) const { return Items_[static_cast<size_t>(index)].get(); }

 private:
  std::vector<std::unique_ptr<TWKViewObject>> Items_;
};
