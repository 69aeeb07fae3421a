#!/usr/bin/python3
"""Writes src/resources/Victoreen1.txt, the element-edge table of the program.

Run with Debian's python3 and its python3-xraydb package (Elam tables):
    /usr/bin/python3 tools/victoreen/make_victoreen_table.py > src/resources/Victoreen1.txt
The generated file is committed; building the program never needs Python.

One line per element, hydrogen (Z 1) to uranium (Z 92), after a header line
that begins with "=". Items are separated by blanks; "=" marks a value that
cannot be had. Items per line:
    symbol Z  K-keV K-A  C D  L1-keV L1-A C D  L2-keV L2-A C D
              L3-keV L3-A C D  M1-keV C D
Units:
    edge energies in keV (xraydb's edge energies / 1000), wavelengths in
    angstrom (lambda = 12.398424360387684 / E[keV]);
    C and D are the coefficients of the Victoreen law
        mu/rho [cm^2/g] = C * lambda^3 - D * lambda^4,   lambda in angstrom,
    fitted to xraydb's photo-absorption cross-section mu_elam(kind='photo').
Region convention: the C and D of an edge describe the absorption just
BELOW that edge, on the edge's own region between the next lower edge of the
table (K -> L1 -> L2 -> L3 -> M1) and the edge itself, both ends moved 1 %
inwards so that neither edge jump enters the fit. Below M1 the region spans
down to a third of the M1 energy. The Elam tables start at 100 eV, so a
region is cut to 0.1 keV at its lower end; a region that is then empty (or
an edge that the package does not list) gives "=".
The fit is a straight line of mu / lambda^3 against lambda (C - D*lambda),
over 60 logarithmically spaced energies, least squares with equal weights.
"""
import math
import sys

import numpy as np
import xraydb

HC_KEV_A = 12.398424360387684
EDGES = ["K", "L1", "L2", "L3", "M1"]
LOWEST_KEV = 0.1
SAMPLES = 60


def fmt(v, digits=6):
    if v is None or not math.isfinite(v):
        return "="
    return "%.*g" % (digits, v)


def victoreen_fit(symbol, lo_kev, hi_kev):
    lo_kev = max(lo_kev, LOWEST_KEV)
    if not (hi_kev > lo_kev * 1.001):
        return None, None
    e_kev = np.geomspace(lo_kev, hi_kev, SAMPLES)
    mu = np.asarray(xraydb.mu_elam(symbol, e_kev * 1000.0, kind="photo"), dtype=float)
    lam = HC_KEV_A / e_kev
    ok = np.isfinite(mu) & (mu > 0)
    if ok.sum() < 3:
        return None, None
    y = mu[ok] / lam[ok] ** 3
    slope, intercept = np.polyfit(lam[ok], y, 1)
    return float(intercept), float(-slope)


def edge_kev(symbol, name):
    edges = xraydb.xray_edges(symbol)
    if name in edges and edges[name].energy > 0:
        return edges[name].energy / 1000.0
    return None


def line_for(z):
    symbol = xraydb.atomic_symbol(z)
    energies = [edge_kev(symbol, n) for n in EDGES]
    items = [symbol, str(z)]
    for k, name in enumerate(EDGES):
        e = energies[k]
        lower = None
        for j in range(k + 1, len(EDGES)):
            if energies[j] is not None:
                lower = energies[j]
                break
        c = d = None
        if e is not None:
            lo = lower * 1.01 if lower is not None else e / 3.0
            c, d = victoreen_fit(symbol, lo, e * 0.99)
        items.append(fmt(e))
        if name != "M1":
            items.append(fmt(HC_KEV_A / e if e else None, 9))
        items += [fmt(c), fmt(d)]
    return " ".join(items)


def main():
    header = ("= 原子番号 K吸収端[keV] K波長[Å] K-C K-D L1吸収端 L1波長 L1-C L1-D "
              "L2吸収端 L2波長 L2-C L2-D L3吸収端 L3波長 L3-C L3-D M1吸収端 M1-C M1-D")
    out = [header] + [line_for(z) for z in range(1, 93)]
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
