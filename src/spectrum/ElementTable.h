#pragma once

#include <QString>

// The periodic table as the program knows it: 111 entries, index = Z, with
// entry 0 a blank placeholder and entry 110 deuterium ("D").

struct ElementRecord
{
  int Z;
  const char* symbol;
  double mass; // g/mol, 0 where none is known
};

constexpr int kElementCount = 111;

// Entry z (0 <= z < kElementCount); entry 0 for anything outside.
const ElementRecord& elementRecord(int z);

// Exact, case-sensitive symbol search; -1 when not found.
int atomicNumberOf(const QString& symbol);
