// The wizard's window shape: the background bitmap less its key-coloured pixels.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

// Magenta (0x00FF00FF): the pixels of the background that the window leaves out.
constexpr COLORREF kShapeKeyColor = RGB(255, 0, 255);

// Every maximal run of non-key pixels of each row, as a one-pixel-high rectangle
// (right and bottom exclusive), rows top to bottom, runs left to right. A row of key
// pixels only gives nothing. pixelAt(x, y) reads one pixel.
std::vector<RECT> RowRunsWithoutKey(int width, int height, const std::function<COLORREF(int x, int y)>& pixelAt,
                                    COLORREF key = kShapeKeyColor);

// One region made of the rectangles (NULL when the region cannot be made; an empty
// list gives an empty region). The caller owns it.
HRGN RegionFromRects(const std::vector<RECT>& rects);
