#pragma once

// The header record of an energy-shift map file (".emp"): the geometry of
// the run that made the map and the two numbers its angle differences are
// computed with. A fresh header is invalid with every number 0.
struct EMPHeader
{
  bool valid = false;
  int width = 0;
  int height = 0;
  int binHalfWidth = 0;
  int binHalfHeight = 0;
  int areaX0 = 0;
  int areaX1 = 0;
  int areaY0 = 0;
  int areaY1 = 0;
  double stdEdgeEnergy = 0.0; // eV
  double spacing = 0.0;       // crystal lattice spacing, hc / E in the same unit
};
