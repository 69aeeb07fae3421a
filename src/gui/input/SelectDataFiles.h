#pragma once

#include "input/EnergyAssignment.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

class EOFSetup;
class QFileDialog;

namespace Ui {
class SelectDataFiles;
}

// One list of image files ("I1 Data" or "I0 Data"): the files of the
// loaded stack with the energy each got, the loading options, and the
// energy setup that assigns energies to arriving frames.
class SelectDataFiles : public QWidget
{
  Q_OBJECT

public:
  explicit SelectDataFiles(QWidget* parent = nullptr);
  ~SelectDataFiles() override;

  // Energy of file `fileName`, number `fNo`, by the current energy setup.
  double energyOf(const QString& fileName, int fNo) const;
  // Appends a loaded file with its energy and returns that energy.
  double addFile(const QString& fileName, int fNo);
  // Appends a frame whose energy was given already (by the rule noted with
  // noteLoadRule, or by its file: an HDF5 stack).
  void addFileWithEnergy(const QString& fileName, double energy);
  // The rule the files of a load that starts get their energies from: a
  // change of the set-up afterwards is said once (until cleared).
  void noteLoadRule(const energy::EnergyRule& rule);

  int count() const;
  int currentIndex() const;
  QString fileName(int idx) const; // empty outside the list
  double energyAt(int idx) const;  // 0 outside the list

  // Loading options as shown; the main window clamps them for the loader.
  int skip() const;
  int cutFirst() const;
  int cutLast() const;
  bool showLatest() const;

  // Set by the main window while its loader fills this list.
  bool loading() const { return m_loading; }
  void setLoading(bool f) { m_loading = f; }

  // Emits filesSelected(files, newFile) as the file dialog does; newFile
  // unless "Append" is ticked. An empty choice emits nothing.
  void chooseFiles(const QStringList& files);

  EOFSetup* eofSetup() const { return m_eof; }
  Ui::SelectDataFiles* ui() const { return m_ui.get(); }

signals:
  void currentIndexChanged(int idx);
  void filesSelected(QStringList files, bool newFile);
  // The "Clear" button: the owner forgets its frames and calls clearFiles().
  void clear();

public slots:
  void newImageSelected(int i);
  void clearFiles();
  // Removes entry idx; when it was the current one, the entry before it
  // becomes current (or the first).
  void removeFile(int idx);
  void prev();
  void next();
  void select(int idx);
  void setSkip(int skip);
  void setCutF(int cutF);
  void setCutL(int cutL);
  void setShowLatest(bool f);
  void setEngByName(bool f);
  void setEngByCalc(bool f);
  void setEngCalcStart(double start);
  void setEngCalcDelta(double delta);
  void setEngCalcEnd(double end);
  void setEngCalcNum(int num);
  void setEvenInEng(bool f);
  void setEvenInDeg(bool f);
  void setDispUnit(int idx);
  void setEngByNameRegExp(const QString& pattern);
  void setEngByNameFactor(double factor);
  void setEngByRef(const QString& fname);

private:
  void updateCount();
  // Says once, in the log and below the list, that the energy set-up no
  // longer gives the loaded files the energies they have.
  void checkEnergySetup();

  std::unique_ptr<Ui::SelectDataFiles> m_ui;
  EOFSetup* m_eof;
  QFileDialog* m_fileDialog;
  bool m_loading = false;
  // The rule the listed energies came from (none for energies read from
  // the files themselves), and whether its change was said.
  energy::EnergyRule m_loadedRule;
  bool m_ruleKnown = false;
  bool m_changeSaid = false;
};
