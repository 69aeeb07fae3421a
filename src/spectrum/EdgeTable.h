#pragma once

#include <QString>

// Absorption-edge energies and Victoreen coefficients per element, loaded
// once from the resource ":Victoreen1.txt". Edge index: 0 K, 1 L1, 2 L2,
// 3 L3, 4 M1.

constexpr int kEdgeCount = 5;
constexpr int kEdgeTableCapacity = 128;

struct EdgeRecord
{
  int Z = 0;
  double edge[kEdgeCount] = {}; // keV
  double C[kEdgeCount] = {};    // Victoreen law C*lambda^3 - D*lambda^4
  double D[kEdgeCount] = {};
};

// "K" 0, "L1"/"LI" 1, "L2"/"LII" 2, "L3"/"LIII" 3 (any case), else 0.
int edgeIndexOf(const QString& edgeName);

// Refills the process-wide table from ":Victoreen1.txt" (or `resourcePath`,
// for tests). Logs "Cannot open [Victoreen1.txt]\n" and leaves the table
// empty when the file cannot be opened. Call from the GUI thread at start;
// later readers only read.
void loadEdgeTable(const QString& resourcePath = QStringLiteral(":Victoreen1.txt"));

// Number of records loaded (record 0 is the header line, all zero).
int edgeTableCount();
// Record z, or nullptr when z is outside the loaded table.
const EdgeRecord* edgeRecord(int z);

// Edge energy in eV (1000 x the table's keV), and the Victoreen C and D of
// edge k for element z; 0 where the table has no value, no record, or k is
// not an edge index.
double edgeEnergyEV(int z, int k);
double victoreenC(int z, int k);
double victoreenD(int z, int k);

// The edge energy (eV) of `symbol`'s edge `edgeName`, for an edge field:
// false, leaving `eV` unchanged, when the symbol is unknown, has Z < 1, or
// has no record in the loaded table (the table ends at uranium).
bool lookupEdgeEnergy(const QString& symbol, const QString& edgeName, double& eV);
