#pragma once

#include "gui/body/Body.h"

#include <QStringList>
#include <QVector>

#include <gtest/gtest.h>

#include <memory>

class QSignalSpy;

// A main window with generated 16-bit TIFF stacks whose file names carry
// their energies, and the I1/I0 lists set to read the energy from the name.
class BodyFixture : public ::testing::Test
{
protected:
  void SetUp() override;
  void TearDown() override;

  // Frames of `count` energies from `firstEnergy` in 1.5 eV steps; pixel
  // (x, y) of frame k holds 1000 + 10 k + x + width * y.
  QStringList makeStack(const QString& prefix, int count, double firstEnergy = 8970.0);
  // readI1Files / readI0Files and wait for the load to report its end.
  bool loadI1(const QStringList& files, bool newFile);
  bool loadI0(const QStringList& files, bool newFile);
  QVector<double> energies(const FrameStack& stack) const;
  // Runs batch lines through the windows' interpreter and executor; true
  // once the batch has ended.
  bool exec(const QStringList& lines);
  bool exec(const QString& line) { return exec(QStringList{ line }); }

  static constexpr int kWidth = 32;
  static constexpr int kHeight = 24;
  QString m_dir;
  std::unique_ptr<Body> m_body;
};

// `file` n times: a load long enough to be interrupted.
QStringList repeated(const QString& file, int n);
