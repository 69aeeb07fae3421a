#pragma once

#include "analysis/MapKernels.h"

#include <QFrame>

class QComboBox;
class QLineEdit;
class Session;

// The image-number ranges of the sum-up, a view of the Session's
// `sumUpRanges`: entered with "Sum Up Img No. From:" and a to-field, listed
// as "%1-%2" in a combo box.
class SumUpCtrl : public QFrame
{
  Q_OBJECT

public:
  explicit SumUpCtrl(Session& session, QWidget* parent = nullptr);

  const SumUpRanges& ranges() const;
  QComboBox* list() const { return m_list; }
  void setFields(int from, int to);
  // The list from the Session's ranges.
  void showRanges();

public slots:
  // Appends the range of the two fields.
  void add();
  // Removes the current range and selects the one before it, or the first.
  void del();

private:
  QLineEdit* m_from = nullptr;
  QLineEdit* m_to = nullptr;
  QComboBox* m_list = nullptr;
  Session& m_session;
};
