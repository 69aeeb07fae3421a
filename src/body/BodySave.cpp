// Saving maps and images: the "Save Data Configuration" window, result maps
// as TIFF or text, pictures of the image view, flat and dark images.

#include "body/Body.h"

#include "output/MapGrid.h"

#include "analysis/Analyzed2DRes.h"
#include "analysis/Analyzer.h"
#include "app/Settings.h"
#include "display/ColorBar.h"
#include "display/ImgDispA.h"
#include "output/MapFiles.h"
#include "output/SaveDataCfg.h"

#include "ui_Body.h"

#include <QDebug>
#include <QDir>
#include <QFileDialog>

#include <functional>

namespace {

// A save dialog in DataRoot that hands the chosen name to `done` and goes
// away when closed.
void openSaveDialog(QWidget* parent,
                    const QString& title,
                    const QStringList& filters,
                    std::function<void(const QString&)> done)
{
  auto* dialog = new QFileDialog(parent, title, settings().DataRoot);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setNameFilters(filters);
  QObject::connect(dialog, &QFileDialog::fileSelected, parent, std::move(done));
  dialog->show();
}

QStringList pngFilters()
{
  return { QStringLiteral("Image File (*.png)") };
}

} // namespace

void Body::setupSaving()
{
  m_saveDataCfg = new SaveDataCfg(this);
  m_saveDataCfg->setWindowFlags(Qt::Window);
  connect(m_ui->SaveDataCfgB, &QPushButton::clicked, m_saveDataCfg, &QWidget::show);
  connect(m_ui->SaveData, &QPushButton::clicked, this, &Body::showSaveDataDialog);
  // Pictures of the image view: the dialog asks for the name.
  connect(m_ui->SaveImage, &QPushButton::clicked, this, [this] {
    openSaveDialog(
      this, tr("Save Image"), pngFilters(), [this](const QString& f) { saveImage(f); });
  });
  connect(m_ui->SaveAllImages, &QPushButton::clicked, this, [this] {
    openSaveDialog(
      this, tr("Save All Images"), pngFilters(), [this](const QString& f) { saveAllImages(f); });
  });
  connect(m_ui->SaveFlatDark, &QPushButton::clicked, this, &Body::saveFlatDark);
  setupSpectraSaving();
}

void Body::showSaveEachSpectrumDialog()
{
  openSaveDialog(this,
                 tr("Save Each Spectrum"),
                 { QStringLiteral("XAFS Spectra (*.dat)"), QStringLiteral("Any Files (* *.*)") },
                 [this](const QString& f) { saveEachSpectrum(f); });
}

void Body::showSaveDataDialog()
{
  openSaveDialog(this,
                 tr("Save Data"),
                 { m_saveDataCfg->saveAsTiff() ? QStringLiteral("Tiff File (*.tif)")
                                               : QStringLiteral("Data File (*.dat)"),
                   QStringLiteral("Any Files (* *.*)") },
                 [this](const QString& f) { saveData(f); });
}

Analyzed2DRes* Body::mapToSave() const
{
  return analyzer()->currentMap();
}

int Body::mapIndex() const
{
  const Analyzed2DRes* map = mapToSave();
  return map ? std::max(0, map->no()) : 0;
}

void Body::saveData(const QString& fname)
{
  const int index = mapIndex();
  if (m_saveDataCfg->saveAsTiff()) {
    qDebug().noquote() << "selected tiff";
    if (!saveDataAsTiff(fname, index))
      return;
    // The colour bar goes under its own name beside the data file, never
    // over it.
    const QString cBar =
      insertIntoFileName(insertIntoFileName(fname, QString::number(index)), QStringLiteral("cBar"));
    saveImageFile(m_ui->CBar->pixmap().toImage(), cBar);
  } else {
    qDebug().noquote() << "selected text";
    saveDataAsText(fname, index);
  }
}

bool Body::saveDataAsTiff(const QString& fname, int ext)
{
  const QString name = numberedFileName(fname, ext, QStringLiteral("tif"));
  qDebug().noquote() << "saveDataAsTiff";
  Analyzed2DRes* map = mapToSave();
  if (!map || !map->hasData()) {
    qDebug().noquote() << "No map to save";
    return false;
  }
  const MapSamples16 s = map->tiffDataForSave(m_saveDataCfg->tiffFixedScale(),
                                              m_saveDataCfg->tiffScaleMin(),
                                              m_saveDataCfg->tiffScaleMax(),
                                              m_saveDataCfg->tiffAsAnalyzed());
  if (!writeMapTiff(name, s.width, s.height, s.values)) {
    qDebug().noquote() << "Can't write" << name;
    return false;
  }
  return true;
}

bool Body::saveDataAsText(const QString& fname, int ext)
{
  const QString name = numberedFileName(fname, ext, QStringLiteral("dat"));
  Analyzed2DRes* map = mapToSave();
  if (!map || !map->hasData()) {
    qDebug().noquote() << "No map to save";
    return false;
  }
  return writeMapText(*map, name, m_saveDataCfg->commaSeparated(), m_saveDataCfg->xyValue());
}

void Body::saveFlatDark()
{
  writeFlatDark(QDir::currentPath(), m_stackWidth, m_stackHeight);
}

bool Body::saveImage(const QString& fname)
{
  return saveImageFile(m_ui->dispA->grab().toImage(), fname);
}

bool Body::saveImageWNum(const QString& fname, const QString& num)
{
  return saveImage(insertIntoFileName(fname, num));
}

void Body::saveAllImages(const QString& fname)
{
  const int shown = m_shownIndex;
  for (int i = 0; i < shownStack().size(); ++i) {
    showData(i);
    saveImageWNum(fname, QString::number(i));
  }
  if (shownStack().isValidIndex(shown))
    showData(shown);
}
