#pragma once

#include <QWidget>

class ComponentRun;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

// The "Components" window: fields for the number of components (N) and of
// clusters (K), the Exec buttons, the run's progress, the explained variance
// of every component, the clusters' sizes, and a choice of the run's maps
// for the main window's image view. A thin shell: it reads its fields and
// shows what the run computed.
class ComponentsWindow : public QWidget
{
  Q_OBJECT

public:
  explicit ComponentsWindow(QWidget* parent = nullptr);

  QSpinBox* componentsField() const { return m_components; }
  QSpinBox* clustersField() const { return m_clusters; }
  QSpinBox* clusterScoresField() const { return m_clusterScores; }
  QListWidget* varianceList() const { return m_variance; }
  QListWidget* clusterList() const { return m_clusterRows; }
  QComboBox* mapChoice() const { return m_maps; }
  QString progressText() const;

public slots:
  void setProgress(double percent);
  void setRunning(bool running);
  // The last completed results of `run`.
  void showResults(const ComponentRun& run);
  // The map list names the map on view when it is one of the run's, else
  // none (after a new run it does not claim its first map is shown).
  void showChosenMap(const QString& name);

signals:
  void execPca(int components);
  // scores 0: the components above the noise floor.
  void execCluster(int clusters, int scores);
  void stopRun();
  void saveClusterSpectra(const QString& base);
  void mapChosen(const QString& name);

private:
  QSpinBox* m_components = nullptr;
  QSpinBox* m_clusters = nullptr;
  QSpinBox* m_clusterScores = nullptr;
  QPushButton* m_execPca = nullptr;
  QPushButton* m_execCluster = nullptr;
  QPushButton* m_stop = nullptr;
  QPushButton* m_save = nullptr;
  QLabel* m_progress = nullptr;
  QListWidget* m_variance = nullptr;
  QLabel* m_scoreChoice = nullptr; // how many scores the clustering used
  QListWidget* m_clusterRows = nullptr;
  QComboBox* m_maps = nullptr;
};
