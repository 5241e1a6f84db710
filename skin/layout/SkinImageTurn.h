#pragma once
// Turning skin pictures for tab rows that do not lie along the top of their control: the pictures
// are drawn for a row at the top, so a row at the bottom sees them upside down and a row at a side
// a quarter turn round.
#include "skin/model/SkinImage.h"

// Row y becomes row height - 1 - y.
TSkinImage FlippedVertically(const TSkinImage& image);
// (x, y) moves to (y, width - 1 - x): the top edge becomes the left edge.
TSkinImage TurnedAnticlockwise(const TSkinImage& image);
// (x, y) moves to (height - 1 - y, x): the top edge becomes the right edge.
TSkinImage TurnedClockwise(const TSkinImage& image);
