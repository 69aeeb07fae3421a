#pragma once

#include <pybind11/pybind11.h>

#include <QString>
#include <QVector>

struct EnergyShiftView;
struct RefSnapshot;
class XafsSpectrum;

void bindReaders(pybind11::module_& m);
void bindSpectra(pybind11::module_& m);
void bindMaps(pybind11::module_& m);
void bindElements(pybind11::module_& m);
void bindComponents(pybind11::module_& m);

// A path (str) read as a spectrum file, or an (energies, mu) pair, as the
// program holds a reference: not yet normalised. Throws ValueError when it
// cannot be read or has fewer than two points.
XafsSpectrum spectrumFrom(const pybind11::handle& source, const char* what);
QString pathOf(const pybind11::handle& path);

// The energy-shift map of a run from a (y, x) array of the frames' size
// (None: no map); ValueError otherwise.
EnergyShiftView shiftViewOf(const pybind11::object& shifts, int width, int height);
// (x, y, w, h) of a region, empty for None.
QVector<double> regionOf(const pybind11::object& region);
