// The geometry of a demonstration balloon: a rounded body around the text and a tail whose tip
// lies on a point of the screen.
#pragma once

#include <array>
#include <cstdint>

#include "imaging/WKTypes.h"

struct TWKBalloonShape {
  int32_t Style = 0;  // 1 tail top left, 2 top right, 3 bottom left, 4 bottom right
  TRect Window;       // on the screen
  // In window coordinates: the body (drawn with 16 x 16 corner ellipses), the tail's base
  // points and its tip, and the text.
  TRect Body;
  std::array<TPoint, 3> Tail;
  TRect Text;
};

// Style 0 chooses: the tail at the bottom, at the right when tip.X lies in the right half of
// the screen, at the top when tip.Y lies in the upper half. text is the word-wrapped text's size.
TWKBalloonShape BalloonShape(TPoint tip, int32_t style, TSize text, TSize screen);
