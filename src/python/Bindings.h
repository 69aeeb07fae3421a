#pragma once

#include <pybind11/pybind11.h>

#include <QString>

struct RefSnapshot;
class XafsSpectrum;

void bindReaders(pybind11::module_& m);
void bindSpectra(pybind11::module_& m);
void bindMaps(pybind11::module_& m);

// A path (str) read as a spectrum file, or an (energies, mu) pair, as the
// program holds a reference: not yet normalised. Throws ValueError when it
// cannot be read or has fewer than two points.
XafsSpectrum spectrumFrom(const pybind11::handle& source, const char* what);
QString pathOf(const pybind11::handle& path);
