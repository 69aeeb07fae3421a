// Saving maps and images: the "Save Data Configuration" window, result maps
// as TIFF or text, pictures of the image view, flat and dark images.

#include "gui/app/DialogFolders.h"
#include "gui/body/Body.h"
#include "gui/display/BringToFront.h"

#include "output/MapGrid.h"
#include "output/MapHdf5.h"

#include "analysis/Analyzed2DRes.h"
#include "app/Settings.h"
#include "gui/analysis/Analyzer.h"
#include "gui/display/ColorBar.h"
#include "gui/display/ImgDispA.h"
#include "gui/output/SaveDataCfg.h"
#include "output/MapFiles.h"
#include "session/Session.h"

#include "ui_Body.h"

#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>

#include <functional>

namespace {

// A save dialog in the folder of `kind` that hands the chosen name to `done`
// and goes away when closed.
void openSaveDialog(QWidget* parent,
                    const QString& title,
                    const QStringList& filters,
                    FileKind kind,
                    std::function<void(const QString&)> done)
{
  auto* dialog = new QFileDialog(parent, title, settings().DataRoot);
  followFolder(dialog, kind);
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
  m_saveDataCfg = new SaveDataCfg(*m_session, this);
  m_saveDataCfg->setWindowFlags(Qt::Window);
  connect(m_session.get(), &Session::changed, m_saveDataCfg, &SaveDataCfg::showOptions);
  connect(m_ui->SaveDataCfgB, &QPushButton::clicked, this, [this] { bringToFront(m_saveDataCfg); });
  connect(m_ui->SaveData, &QPushButton::clicked, this, &Body::showSaveDataDialog);
  // Pictures of the image view: the dialog asks for the name.
  connect(m_ui->SaveImage, &QPushButton::clicked, this, [this] {
    openSaveDialog(this, tr("Save Image"), pngFilters(), FileKind::Maps, [this](const QString& f) {
      saveImage(f);
    });
  });
  connect(m_ui->SaveAllImages, &QPushButton::clicked, this, [this] {
    openSaveDialog(
      this, tr("Save All Images"), pngFilters(), FileKind::Maps, [this](const QString& f) {
        saveAllImages(f);
      });
  });
  connect(m_ui->SaveFlatDark, &QPushButton::clicked, this, &Body::saveFlatDark);
  setupSpectraSaving();
}

void Body::showSaveEachSpectrumDialog()
{
  openSaveDialog(this,
                 tr("Save Each Spectrum"),
                 { QStringLiteral("XAFS Spectra (*.dat)"), QStringLiteral("Any Files (* *.*)") },
                 FileKind::Spectra,
                 [this](const QString& f) { saveEachSpectrum(f); });
}

void Body::showSaveDataDialog()
{
  openSaveDialog(
    this,
    tr("Save Data"),
    { m_session->save.kind == Session::SaveKind::Hdf5   ? QStringLiteral("HDF5 File (*.h5)")
      : m_session->save.kind == Session::SaveKind::Tiff ? QStringLiteral("Tiff File (*.tif)")
                                                        : QStringLiteral("Data File (*.dat)"),
      QStringLiteral("Any Files (* *.*)") },
    FileKind::Maps,
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

namespace {

// Writes `map` (which has data) as the 16-bit TIFF `name` with the
// dialog's scale choice; `written` tells the scale used. False (with a
// debug line) when the file cannot be written.
bool writeTiffOf(Analyzed2DRes* map,
                 const Session::SaveOptions& cfg,
                 const QString& name,
                 MapSamples16& written)
{
  qDebug().noquote() << "saveDataAsTiff";
  written = tiffDataForSave(
    *map, cfg.tiffFixedScale, cfg.tiffScaleMin, cfg.tiffScaleMax, cfg.tiffAsAnalyzed);
  map->setSavedCount(written.values.size());
  if (!writeMapTiff(name, written.width, written.height, written.values)) {
    qDebug().noquote() << "Can't write" << name;
    return false;
  }
  return true;
}

} // namespace

void Body::saveData(const QString& fname)
{
  const int index = mapIndex();
  showSaveTarget();
  if (m_session->save.kind == Session::SaveKind::Hdf5) {
    saveMapsAsHdf5(fname);
    return;
  }
  if (m_session->save.kind == Session::SaveKind::Tiff) {
    qDebug().noquote() << "selected tiff";
    if (!hasMapToSave())
      return;
    MapSamples16 written;
    if (!writeTiffOf(mapToSave(),
                     m_session->save,
                     numberedFileName(fname, index, QStringLiteral("tif")),
                     written))
      return;
    // The colour bar goes under its own name beside the data file, never
    // over it, labelled with the scale the file was written with (a fixed
    // scale is not the range shown on screen).
    saveImageFile(m_ui->CBar->pictureWithScale(written.scaleMin, written.scaleMax),
                  colourBarFileName(fname, index));
  } else {
    qDebug().noquote() << "selected text";
    saveDataAsText(fname, index);
  }
}

bool Body::saveMapsAsHdf5(const QString& fname)
{
  QVector<const Analyzed2DRes*> maps;
  for (const Analyzed2DRes* map : allMaps())
    if (map && map->hasData())
      maps.append(map);
  if (maps.isEmpty()) {
    refuseIn(this, QStringLiteral("No map to save"), tr("No map to save"));
    return false;
  }
  return writeMapsHdf5(hdf5MapFileName(fname), maps);
}

bool Body::saveDataAsTiff(const QString& fname, int ext)
{
  MapSamples16 written;
  return hasMapToSave() && writeTiffOf(mapToSave(),
                                       m_session->save,
                                       numberedFileName(fname, ext, QStringLiteral("tif")),
                                       written);
}

bool Body::hasMapToSave()
{
  const Analyzed2DRes* map = mapToSave();
  if (map && map->hasData())
    return true;
  refuseIn(this, QStringLiteral("No map to save"), tr("No map to save"));
  return false;
}

bool Body::saveDataAsText(const QString& fname, int ext)
{
  const QString name = numberedFileName(fname, ext, QStringLiteral("dat"));
  if (!hasMapToSave())
    return false;
  Analyzed2DRes* map = mapToSave();
  return writeMapText(*map, name, m_session->save.commaSeparated, m_session->save.xyValue);
}

void Body::saveFlatDark()
{
  writeFlatDark(QDir::currentPath(), stackWidth(), stackHeight());
}

bool Body::saveImage(const QString& fname)
{
  // The picture, not the cursor box and selection frame drawn over it.
  const QImage view = m_ui->dispA->viewPicture();
  if (!m_mapShown)
    return saveImageFile(view, fname);
  // A map's picture says nothing without its scale: the colour bar with
  // its values goes beside it.
  const QImage bar = m_ui->CBar->grab().toImage().scaled(
    m_ui->CBar->width(), view.height(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  const int gap = 6;
  QImage picture(view.width() + gap + bar.width(), view.height(), QImage::Format_RGB32);
  picture.fill(Qt::white);
  QPainter p(&picture);
  p.drawImage(0, 0, view);
  p.drawImage(view.width() + gap, 0, bar);
  p.end();
  return saveImageFile(picture, fname);
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
