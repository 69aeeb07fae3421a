#pragma once

#include "imgproc/ProcImage.h"

class TiffData;

// How a frame becomes the processed image the alignment works on.
// With both switches on, the edges are found first and the edge image is
// binarised: a mask of strong edges stays put when the overall brightness
// of the frames drifts with the energy, which a mask of the intensities
// does not.
struct ProcOptions
{
  bool edgeDetect = false;
  double edgeMin = 0.0;     // weaker edges count as none
  double edgeMax = 65535.0; // stronger edges are cut to this
  bool binary = false;
  double threshold = 0.0; // pixels at or above it are set (1), others 0
};

// The stored pixels of the frame (its alignment shift is not applied: the
// shift found is the frame's whole shift, not a correction of the last
// one). Non-finite samples read as 0. Empty for an empty frame.
ProcImage frameImage(const TiffData& frame);

// Edge strength per pixel: the Sobel gradient magnitude divided by 4, so
// a step of height h between two flat areas shows as h. Border pixels
// repeat their nearest neighbour. Strengths below the smaller limit become
// 0, above the larger one that limit.
ProcImage edgeImage(const ProcImage& image, double edgeMin, double edgeMax);

// 1 where the value is at or above the threshold, else 0.
ProcImage binarized(const ProcImage& image, double threshold);

// The image before binarisation (intensities or edges) and the processed
// image built from it.
ProcImage baseImage(const TiffData& frame, const ProcOptions& options);
ProcImage processedImage(const ProcImage& base, const ProcOptions& options);
