#include "gui/app/DialogFolders.h"
#include "gui/body/Body.h"
#include "session/Session.h"

#include "gui/input/SelectDataFiles.h"
#include "gui/spectrum/XafsView.h"
#include "input/TiffData.h"

#include "ui_Body.h"

#include <QDebug>
#include <QFileDialog>

void Body::setupHdf5()
{
  // A dialog of its own per click, gone when closed: the file it gives is
  // read at once, like the batch word.
  connect(m_ui->LoadHdf5Stack, &QPushButton::clicked, this, [this] {
    auto* dialog = new QFileDialog(this,
                                   tr("Load HDF5 stack"),
                                   QString(),
                                   tr("HDF5 files (*.h5 *.hdf5 *.hdf *.nxs);;All files (*)"));
    dialog->setObjectName(QStringLiteral("Hdf5StackDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    followFolder(dialog, FileKind::Images);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& file) {
      loadHdf5Stack(file);
    });
    dialog->show();
  });
}

bool Body::loadHdf5Stack(const QString& file, const Hdf5StackNames& names)
{
  if (refusedDuringBatch(this))
    return false;
  // Read whole before anything is dropped: a file that fails leaves the
  // stacks as they are.
  Hdf5Stack s;
  if (!readHdf5Stack(file, names, s))
    return false;
  // Clearing stops the loads on their way and the runs reading frames.
  clearI1Files();
  clearI0Files();
  m_xafsView->rescaleOnNextSpectrum();
  if (s.dark) {
    clearDark();
    m_ui->DarkFileName->setText(s.dark->fileName);
    m_session->setDark(std::move(s.dark));
  }
  // The frames join the stacks as loaded files do, with the file's energies
  // instead of the list's energy setup.
  auto join = [this](std::vector<std::unique_ptr<TiffData>>& frames, bool isI1) {
    SelectDataFiles* list = isI1 ? m_i1List : m_i0List;
    const QSignalBlocker block(list);
    for (auto& frame : frames) {
      list->addFileWithEnergy(frame->fileName, frame->energy);
      m_session->appendFrame(isI1, std::move(frame));
    }
  };
  join(s.i1, true);
  join(s.i0, false);
  updateSeekRange();
  if (!shownStack().isEmpty())
    showData(0);
  stacksChanged();
  return true;
}
