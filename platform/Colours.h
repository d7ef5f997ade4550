// The colours the windows are drawn with, by name: the plots, the main window's texts and the
// controls' faces share them.
#pragma once

#include "platform/Types.h"

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);
// A valid fix's texts in the main and the track window; kPaleGrey when the fix is not valid.
constexpr COLORREF kBrickRed = RGB(165, 41, 31);
constexpr COLORREF kPaleGrey = RGB(186, 186, 186);
// The sky plot's rings and the track plot's grid.
constexpr COLORREF kLightGrey = RGB(177, 177, 177);
constexpr COLORREF kMidGrey = RGB(150, 150, 150);
constexpr COLORREF kGridGrey = RGB(200, 200, 200);
// Dialog and control faces and their 3-D edges.
constexpr COLORREF kFace = RGB(240, 240, 240);
constexpr COLORREF kShadow = RGB(160, 160, 160);
constexpr COLORREF kDarkShadow = RGB(105, 105, 105);
