#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

namespace lctest {

// Full path of one measured file shared beside the project checkout
// ("../shared/data"); empty when the folder or file is missing.
QString sharedDataFile(const QString& name);
// A fresh folder under the build tree for files a test writes, of its own
// for each running test case.
QString scratchDir(const QString& testName);
// The whole file, or nothing when it cannot be opened.
QByteArray readFile(const QString& path);
// Replaces `path` by `bytes`; returns `path` for use in the same line.
QString writeFile(const QString& path, const QByteArray& bytes);
// The same doubles bit for bit (NaN included), list by list.
bool sameBytes(const QVector<double>& a, const QVector<double>& b);
bool sameBytes(const QVector<QVector<double>>& a, const QVector<QVector<double>>& b);

} // namespace lctest

// Skips the current test, with the reason, where the shared data is absent
// (a user's fresh clone without the shared folder still passes).
#define LC_REQUIRE_SHARED_FILE(var, name)                                                          \
  const QString var = ::lctest::sharedDataFile(name);                                              \
  if (var.isEmpty())                                                                               \
  GTEST_SKIP() << "shared measured data " << (name)                                                \
               << " not found beside the checkout (../shared/data); skipping"
