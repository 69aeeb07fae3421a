#include "gui/analysis/ComponentsWindow.h"
#include "gui/app/DialogFolders.h"

#include "analysis/Analyzed2DRes.h"
#include "analysis/ComponentRun.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QSpinBox* spinBox(int lo, int hi, int value, QWidget* parent)
{
  auto* box = new QSpinBox(parent);
  box->setRange(lo, hi);
  box->setValue(value);
  return box;
}

} // namespace

ComponentsWindow::ComponentsWindow(QWidget* parent)
  : QWidget(parent)
{
  setWindowTitle(tr("Components"));
  auto* outer = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  m_components = spinBox(1, 100, 3, this);
  m_clusters = spinBox(2, 100, 3, this);
  m_clusterScores = spinBox(0, 100, 0, this);
  m_clusterScores->setSpecialValueText(tr("auto (above noise)"));
  form->addRow(tr("Components (N)"), m_components);
  form->addRow(tr("Clusters (K)"), m_clusters);
  form->addRow(tr("Scores for clusters"), m_clusterScores);
  outer->addLayout(form);

  auto* buttons = new QHBoxLayout;
  m_execPca = new QPushButton(tr("Exec PCA"), this);
  m_execCluster = new QPushButton(tr("Exec Cluster"), this);
  m_stop = new QPushButton(tr("Stop"), this);
  m_save = new QPushButton(tr("Save Means"), this);
  for (QPushButton* b : { m_execPca, m_execCluster, m_stop, m_save })
    buttons->addWidget(b);
  outer->addLayout(buttons);
  m_progress = new QLabel(QStringLiteral("0.0 %"), this);
  outer->addWidget(m_progress);
  outer->addWidget(new QLabel(tr("Explained variance"), this));
  m_variance = new QListWidget(this);
  outer->addWidget(m_variance);
  outer->addWidget(new QLabel(tr("Clusters"), this));
  m_scoreChoice = new QLabel(this);
  m_scoreChoice->setWordWrap(true);
  outer->addWidget(m_scoreChoice);
  m_clusterRows = new QListWidget(this);
  outer->addWidget(m_clusterRows);
  auto* show = new QHBoxLayout;
  show->addWidget(new QLabel(tr("Show map"), this));
  m_maps = new QComboBox(this);
  show->addWidget(m_maps, 1);
  outer->addLayout(show);
  m_stop->setEnabled(false);
  m_save->setEnabled(false);

  connect(m_execPca, &QPushButton::clicked, this, [this] { emit execPca(m_components->value()); });
  connect(m_execCluster, &QPushButton::clicked, this, [this] {
    emit execCluster(m_clusters->value(), m_clusterScores->value());
  });
  connect(m_stop, &QPushButton::clicked, this, &ComponentsWindow::stopRun);
  connect(m_save, &QPushButton::clicked, this, [this] {
    const QString base = QFileDialog::getSaveFileName(
      this, tr("Cluster spectra (base name)"), dialogFolder(FileKind::Spectra));
    rememberFolder(FileKind::Spectra, base);
    if (!base.isEmpty())
      emit saveClusterSpectra(base);
  });
  connect(m_maps, QOverload<int>::of(&QComboBox::activated), this, [this](int i) {
    emit mapChosen(m_maps->itemText(i));
  });
}

QString ComponentsWindow::progressText() const
{
  return m_progress->text();
}

void ComponentsWindow::setProgress(double percent)
{
  m_progress->setText(QStringLiteral("%1 %").arg(percent, 0, 'f', 1));
}

void ComponentsWindow::setRunning(bool running)
{
  m_execPca->setEnabled(!running);
  m_execCluster->setEnabled(!running);
  m_stop->setEnabled(running);
}

void ComponentsWindow::showChosenMap(const QString& name)
{
  m_maps->setCurrentIndex(m_maps->findText(name));
}

void ComponentsWindow::showResults(const ComponentRun& run)
{
  m_variance->clear();
  double sum = 0.0;
  const QVector<double>& ex = run.explained();
  for (int i = 0; i < ex.size(); ++i) {
    sum += ex[i];
    m_variance->addItem(QStringLiteral("%1: %2 % (sum %3 %)")
                          .arg(i + 1)
                          .arg(100.0 * ex[i], 0, 'f', 3)
                          .arg(100.0 * sum, 0, 'f', 3));
  }
  m_scoreChoice->setText(run.scoreChoice(true));
  m_clusterRows->clear();
  for (int c = 0; c < run.clusters().size(); ++c)
    m_clusterRows->addItem(tr("Cluster %1: %2 points, edge %3 eV")
                             .arg(c + 1)
                             .arg(run.clusters()[c].count)
                             .arg(run.clusters()[c].spectrum.midx, 0, 'f', 2));
  m_save->setEnabled(!run.clusters().isEmpty());
  m_maps->clear();
  for (const Analyzed2DRes* map : run.maps())
    m_maps->addItem(map->name());
}
