#pragma once

#include "imgproc/ProcImage.h"

#include <QtGlobal>

// Agreement of the current image C with the reference R displaced by
// (sx, sy): over the pixels (u, v) of C whose partner (u + sx, v + sy) lies
// inside R, Src / sqrt(Srr Scc) with the plain (not mean-free) sums of
// r², c² and r·c. 0 without overlap, when a sum of squares is 0, and for
// a result that is not a number.
double alignScore(const ProcImage& current, const ProcImage& reference, int sx, int sy);

struct ShiftSearchResult
{
  int x = 0; // the displacement reached
  int y = 0;
  double score = 0.0; // best score seen (the start score if none beat it)
  qint64 evaluations = 0;
  qint64 moves = 0;
};

// Hill climb from (x, y), where `startScore` is taken as the score of the
// start. Each pass tries the eight neighbours in the order (1,1), (1,0),
// (1,-1), (0,-1), (-1,-1), (-1,0), (-1,1), (0,1); a neighbour is taken only
// when it beats the best score so far strictly (so the earlier of equal
// neighbours wins, and a tie with the best stays). After a pass with a
// winner the winner becomes the centre; a pass without one ends the
// search. The number of moves is bounded by the count of displacements
// with any overlap, which strictly rising scores can never exceed.
ShiftSearchResult searchBestShift(const ProcImage& current,
                                  const ProcImage& reference,
                                  int x,
                                  int y,
                                  double startScore);

// The picture of the comparison at (sx, sy), in C's pixels: each image
// scaled to [0, 1] by its own range, C + 2 R (R = 0 where the displaced
// reference does not reach). Binary images give 0 for neither, 1 current
// only, 2 reference only, 3 both.
ProcImage comparisonImage(const ProcImage& current, const ProcImage& reference, int sx, int sy);
