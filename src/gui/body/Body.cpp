#include "gui/body/Body.h"
#include "gui/app/DialogFolders.h"
#include "gui/app/NumberFields.h"
#include "gui/display/BringToFront.h"

#include "analysis/Analyzed2DRes.h"
#include "analysis/ComponentRun.h"
#include "analysis/FourierRun.h"
#include "analysis/LcfRun.h"
#include "analysis/MapsRun.h"
#include "analysis/PointRun.h"
#include "app/DebugLines.h"
#include "app/Settings.h"
#include "batch/BatchDispatcher.h"
#include "batch/CmdLine.h"
#include "display/ChCoord.h"
#include "display/ColorMap.h"
#include "display/MapImages.h"
#include "gui/analysis/Analyzer.h"
#include "gui/analysis/ComponentsWindow.h"
#include "gui/batch/BatchCtrl.h"
#include "gui/display/ColorBar.h"
#include "gui/display/ImgDispA.h"
#include "gui/imgproc/ImgProc.h"
#include "gui/input/EOFSetup.h"
#include "gui/input/SelectDataFiles.h"
#include "gui/spectrum/XafsView.h"
#include "input/LoadTiff.h"
#include "input/TiffData.h"
#include "output/SpectraSaveRun.h"
#include "session/Session.h"
#include "spectrum/EdgeTable.h"
#include "spectrum/XafsSpectrum.h"

#include "ui_Body.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QFileDialog>
#include <QPainter>
#include <QSignalBlocker>
#include <QThread>

#include <algorithm>

namespace {

// The reader's own line names the file and what is wrong with it.
QString notReadText(const QString& file, const QString& why)
{
  return Body::tr("Not read: %1").arg(why.isEmpty() ? file : why);
}

} // namespace

// ---- Construction -------------------------------------------------------

Body::Body(QWidget* parent)
  : QMainWindow(parent)
  , m_ui(std::make_unique<Ui::Body>())
  , m_session(std::make_unique<Session>())
{
  m_ui->setupUi(this);
  acceptIntegers({ m_ui->HWidth, m_ui->VWidth }, 0, 9999);
  acceptReals({ m_ui->DPreE, m_ui->DPostS, m_ui->SuggestingEeV });
  acceptReals({ m_ui->DeglitchF, m_ui->DeglitchR }, 0.0);
  m_ui->ShowAnalyzer2->setVisible(settings().ShowAnalyzer2Button);
  // Edge energies and Victoreen coefficients for every element lookup.
  loadEdgeTable();

  m_imageFileDialog = new QFileDialog(this, tr("Select Image File"), settings().DataRoot);
  m_imageFileDialog->setFileMode(QFileDialog::ExistingFile);
  followFolder(m_imageFileDialog, FileKind::Images);
  m_imageFileDialog->setNameFilters(
    { QStringLiteral("VRSK Files, IMG Files, Tiff Files (*.dat *.img *.tif *.tiff)"),
      QStringLiteral("Any Files (* *.*)") });

  registerMetaTypes();
  setupFileLists();
  setupBatch();
  setupSpectrumFiles();
  setupSpectrum();
  setupAnalysis();
  setupImgProc();
  setupCalibration();
  setupImageArea();
  setupDiagnostics();
  setupHdf5();
  setupRefusals();
  connectForm();
  sizeToControls();
}

Body::~Body()
{
  shutDownThreads();
  // The processor borrows I1 frames; it goes before the stacks do.
  m_imgProc.reset();
  // The bar (a child) outlives the pictures whose mapping it edits.
  m_ui->CBar->setMapping(nullptr);
}

void Body::closeEvent(QCloseEvent* e)
{
  // The program ends with its main window: a running batch, run or save
  // is stopped (a stopped save leaves the file as it was), and the tool
  // windows close with it so that none keeps the program alive.
  if (m_executor)
    QMetaObject::invokeMethod(
      m_executor->dispatcher(), &BatchDispatcher::batchStopSlot, Qt::QueuedConnection);
  stopRunsReadingFrames();
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != this && w->isVisible())
      w->close();
  QMainWindow::closeEvent(e);
}

void Body::registerMetaTypes()
{
  // Types that cross threads in queued signals; the analysis types join
  // here when their windows are built.
  qRegisterMetaType<TiffData*>("TiffData*");
  qRegisterMetaType<XafsSpectrum>("XafsSpectrum");
  qRegisterMetaType<XafsSpectrum*>("XafsSpectrum*");
  qRegisterMetaType<CmdLine>("CmdLine");
}

void Body::setupFileLists()
{
  m_i1List = new SelectDataFiles(this);
  m_i1List->setWindowFlags(Qt::Window);
  m_i1List->setWindowTitle(tr("I1 Data"));
  m_i0List = new SelectDataFiles(this);
  m_i0List->setWindowFlags(Qt::Window);
  m_i0List->setWindowTitle(tr("I0 Data"));

  setupLoader(m_i1Loader, m_i1Thread);
  setupLoader(m_i0Loader, m_i0Thread);
  connect(this, &Body::loadI1Files, m_i1Loader.get(), &LoadTiff::loadTiffs);
  connect(this, &Body::loadI0Files, m_i0Loader.get(), &LoadTiff::loadTiffs);
  connect(m_i1Loader.get(), &LoadTiff::loaded, this, &Body::loadedI1);
  connect(m_i1Loader.get(), &LoadTiff::finishLoadFiles, this, &Body::finishedLoadI1Files);
  connect(m_i0Loader.get(), &LoadTiff::loaded, this, &Body::loadedI0);
  connect(m_i0Loader.get(), &LoadTiff::finishLoadFiles, this, &Body::finishedLoadI0Files);
  // A file picked that is no image is said where it was picked.
  for (SelectDataFiles* list : { m_i1List, m_i0List }) {
    LoadTiff* loader = list == m_i1List ? m_i1Loader.get() : m_i0Loader.get();
    connect(
      loader, &LoadTiff::notRead, this, [this, list](const QString& file, const QString& why) {
        showRefusal(list, notReadText(file, why));
      });
  }

  // A list's energy set-up is the Session's rule for its stack (a load
  // takes skip and cuts as well, readFiles).
  for (SelectDataFiles* list : { m_i1List, m_i0List }) {
    const bool isI1 = list == m_i1List;
    auto takeRule = [this, list, isI1] {
      m_session->stackOptions(isI1).rule = list->eofSetup()->rule();
    };
    takeRule();
    connect(list->eofSetup(), &EOFSetup::settingsChanged, this, takeRule);
  }
  connect(m_i1List, &SelectDataFiles::filesSelected, this, &Body::readI1Files);
  connect(m_i0List, &SelectDataFiles::filesSelected, this, &Body::readI0Files);
  connect(m_i1List, &SelectDataFiles::clear, this, &Body::clearI1Files);
  connect(m_i0List, &SelectDataFiles::clear, this, &Body::clearI0Files);
  connect(m_i1List, &SelectDataFiles::currentIndexChanged, this, [this](int idx) {
    listIndexChanged(true, idx);
  });
  connect(m_i0List, &SelectDataFiles::currentIndexChanged, this, [this](int idx) {
    listIndexChanged(false, idx);
  });
}

void Body::setupLoader(std::unique_ptr<LoadTiff>& loader, QThread*& thread)
{
  loader = std::make_unique<LoadTiff>();
  thread = new QThread(this);
  loader->moveToThread(thread);
  thread->start(QThread::InheritPriority);
}

void Body::connectForm()
{
  Ui::Body& ui = *m_ui;
  connect(ui.SelectI1Files, &QPushButton::clicked, this, [this] { bringToFront(m_i1List); });
  connect(ui.SelectI0Files, &QPushButton::clicked, this, [this] { bringToFront(m_i0List); });
  connect(ui.BatchCtrlB, &QPushButton::clicked, this, [this] { bringToFront(m_batchCtrl); });
  connect(ui.SelectDark, &QPushButton::clicked, m_imageFileDialog, &QWidget::show);
  connect(m_imageFileDialog, &QFileDialog::fileSelected, this, &Body::selectedDark);
  connect(ui.ClearDark, &QPushButton::clicked, this, &Body::clearDark);

  connect(ui.SeekBar, &QSlider::valueChanged, this, &Body::sliderMoved);
  connect(ui.ImgNo, QOverload<int>::of(&QSpinBox::valueChanged), this, &Body::seekImage);
  connect(ui.Prev, &QPushButton::clicked, this, &Body::prev);
  connect(ui.Next, &QPushButton::clicked, this, &Body::next);
  connect(ui.ShowData, &QRadioButton::toggled, this, &Body::selectedDataI0);

  // Every field the spectrum is built from takes effect at once, also when
  // a batch command sets it: the box on the image, the spectrum and the
  // analysis window's fit follow.
  // The fields write the Session's values; the form's values are the first.
  auto takeBand = [this] {
    m_session->bandW = m_ui->HWidth->text().toInt();
    m_session->bandH = m_ui->VWidth->text().toInt();
  };
  takeBand();
  for (QLineEdit* e : { ui.HWidth, ui.VWidth })
    connect(e, &QLineEdit::textChanged, this, [this, takeBand] {
      takeBand();
      m_ui->dispA->update();
      refreshSpectrumSoon();
    });
  m_session->useI0 = ui.UseI0->isChecked();
  m_session->fluorescence = ui.FluoType->isChecked();
  connect(ui.UseI0, &QAbstractButton::toggled, this, [this](bool f) { m_session->useI0 = f; });
  connect(
    ui.FluoType, &QAbstractButton::toggled, this, [this](bool f) { m_session->fluorescence = f; });
  connect(ui.dispA, &ImgDispA::selectedAreaChanged, this, [this] {
    m_session->region = m_ui->dispA->isAreaSelected() ? m_ui->dispA->selectedArea() : QRectF();
  });
  m_session->preEdgeEnd = ui.DPreE->text();
  m_session->postEdgeStart = ui.DPostS->text();
  connect(ui.DPreE, &QLineEdit::textChanged, this, [this](const QString& t) {
    m_session->preEdgeEnd = t;
  });
  connect(ui.DPostS, &QLineEdit::textChanged, this, [this](const QString& t) {
    m_session->postEdgeStart = t;
  });
  for (QLineEdit* e : { ui.DPreE, ui.DPostS, ui.SuggestingEeV })
    connect(e, &QLineEdit::textChanged, this, &Body::refreshSpectrumSoon);
  for (QAbstractButton* b : { static_cast<QAbstractButton*>(ui.UseI0),
                              static_cast<QAbstractButton*>(ui.FluoType),
                              static_cast<QAbstractButton*>(ui.SuggestElm) })
    connect(b, &QAbstractButton::toggled, this, &Body::refreshSpectrumSoon);
  // The normalisation distances only count around a suggested edge.
  const QString onlyWithSuggest =
    tr("Used only while \"Suggest Elm.\" is ticked; otherwise the edge is searched and "
       "the lines end and start 10 eV from it.");
  ui.DPreE->setToolTip(onlyWithSuggest);
  ui.DPostS->setToolTip(onlyWithSuggest);

  connect(ui.CBar, &ColorBar::cBarUpdating, this, &Body::cBarUpdating);
  connect(ui.CBar, &ColorBar::cBarUpdated, this, &Body::cBarUpdated);
  connect(ui.dispA, &DispA::drawImage2, this, &Body::draw);
  connect(ui.dispA, &ImgDispA::mouseMoved, this, &Body::onMouseMovedInDispA);
  connect(ui.ResetScale, &QPushButton::clicked, ui.dispA, &ImgDispA::resetImageViewWindow);
  connect(ui.ZoomIn, &QPushButton::clicked, ui.dispA, &ImgDispA::setViewWAsSelectedArea);
}

void Body::shutDownThreads()
{
  // Frames still queued towards us are delivered by shutDown and, with
  // m_closing set, only join their stack, which then frees them.
  m_closing = true;
  // The run's threads read the frames: joined before anything is freed.
  m_lcfRun.reset();
  m_calibRun.reset();
  m_elemRun.reset();
  m_raRun.reset();
  m_sumUpRun.reset();
  // The Session's own runs outlive the windows: they tell this window no more.
  disconnect(componentRun(), nullptr, this, nullptr);
  disconnect(fourierRun(), nullptr, this, nullptr);
  LoadTiff::shutDown(m_i1Loader.get(), m_i1Thread, this);
  LoadTiff::shutDown(m_i0Loader.get(), m_i0Thread, this);
  m_i1Loader.reset();
  m_i0Loader.reset();
}

// ---- Stacks and frames --------------------------------------------------

const FrameStack& Body::i1Frames() const
{
  return m_session->stack(true);
}

const FrameStack& Body::i0Frames() const
{
  return m_session->stack(false);
}

const TiffData* Body::darkFrame() const
{
  return m_session->dark();
}

int Body::stackWidth() const
{
  return m_session->width();
}

int Body::stackHeight() const
{
  return m_session->height();
}

const FrameStack& Body::shownStack() const
{
  return m_session->stack(isShowingI1());
}

SelectDataFiles* Body::shownList() const
{
  return isShowingI1() ? m_i1List : m_i0List;
}

bool Body::isShowingI1() const
{
  return m_ui->ShowData->isChecked();
}

void Body::clearI1Files()
{
  if (!refusedDuringBatch(m_i1List))
    clearStack(true);
}

void Body::clearI0Files()
{
  if (!refusedDuringBatch(m_i0List))
    clearStack(false);
}

void Body::clearStack(bool isI1)
{
  cancelLoads(isI1 ? m_i1Load : m_i0Load, isI1 ? m_i1Loader.get() : m_i0Loader.get());
  dropFrames(isI1);
}

void Body::cancelLoads(LoadState& load, LoadTiff* loader)
{
  // Loads still on their way would refill the stack with files of the old
  // list: stop them and drop what they already sent.
  if (load.pending > 0 && loader) {
    load.superseded = load.pending;
    loader->cancel();
    QMetaObject::invokeMethod(
      loader, [loader] { loader->resetCancel(); }, Qt::QueuedConnection);
  }
  load.replacing = false;
}

void Body::dropFrames(bool isI1)
{
  // The image processor (when present) forgets its frame here, before the
  // frames are deleted.
  if (isI1 && m_imgProc)
    m_imgProc->forgetFrame();
  stopRunsReadingFrames();
  if (isI1 == isShowingI1())
    showNothing();
  SelectDataFiles* list = isI1 ? m_i1List : m_i0List;
  {
    const QSignalBlocker block(list);
    list->clearFiles();
  }
  m_session->clearStack(isI1);
  updateSeekRange();
  stacksChanged();
  // What was said about the old files is over.
  showRefusal(list, QString());
}

bool Body::energiesRefused(const QStringList& files, SelectDataFiles* list)
{
  const QString why = list->eofSetup()->rule().refusal(
    files, std::max(1, list->skip()), std::max(0, list->cutFirst()), std::max(0, list->cutLast()));
  if (why.isEmpty())
    return false;
  refuseIn(list, why);
  return true;
}

// New files replace the stack when their first frame arrives, not before:
// files that give no image (a spectrum file chosen by mistake) leave the
// stack that was there.
void Body::readI1Files(const QStringList& files, bool newFile)
{
  if (refusedDuringBatch(m_i1List) || energiesRefused(files, m_i1List))
    return;
  if (newFile) {
    cancelLoads(m_i1Load, m_i1Loader.get());
    m_i1Load.replacing = true;
    m_xafsView->rescaleOnNextSpectrum();
  }
  readFiles(files, true);
}

void Body::readI0Files(const QStringList& files, bool newFile)
{
  if (refusedDuringBatch(m_i0List) || energiesRefused(files, m_i0List))
    return;
  if (newFile) {
    cancelLoads(m_i0Load, m_i0Loader.get());
    m_i0Load.replacing = true;
  }
  readFiles(files, false);
}

void Body::readFiles(const QStringList& files, bool isI1)
{
  // The list's options as they stand at the start of the load are the
  // Session's: they give every frame of it its energy.
  SelectDataFiles* list = isI1 ? m_i1List : m_i0List;
  Session::StackOptions& opt = m_session->stackOptions(isI1);
  opt.rule = list->eofSetup()->rule();
  opt.skip = std::max(1, list->skip());
  opt.cutFirst = std::max(0, list->cutFirst());
  opt.cutLast = std::max(0, list->cutLast());
  list->noteLoadRule(opt.rule);
  LoadState& load = isI1 ? m_i1Load : m_i0Load;
  ++load.pending;
  list->setLoading(true);
  if (isI1)
    emit loadI1Files(files, opt.skip, opt.cutFirst, opt.cutLast);
  else
    emit loadI0Files(files, opt.skip, opt.cutFirst, opt.cutLast);
}

void Body::loadedI1(TiffData* data, int fNo)
{
  std::unique_ptr<TiffData> frame(data);
  if (!adoptFrame(std::move(frame), fNo, true))
    return;
  // The stack size always comes from the first frame, whatever the
  // show-latest option, or spectra would stay empty after a quiet load.
  if (i1Frames().size() == 1) {
    // Maps made for a stack of another size go; a map read before any
    // stack (a shift map file) keeps its own size.
    const QSize before = m_lastStackSize;
    m_lastStackSize = QSize(stackWidth(), stackHeight());
    if (before.isValid() && before != m_lastStackSize)
      dropMapsOfAnotherSize();
  }
  showArrival(true);
}

void Body::loadedI0(TiffData* data, int fNo)
{
  std::unique_ptr<TiffData> frame(data);
  if (adoptFrame(std::move(frame), fNo, false))
    showArrival(false);
}

void Body::showArrival(bool isI1)
{
  SelectDataFiles* list = isI1 ? m_i1List : m_i0List;
  // A quiet load (show-latest off) catches up once, at its end.
  if (list->loading() && !list->showLatest())
    return;
  updateSeekRange();
  const int newest = m_session->stack(isI1).size() - 1;
  if (isI1 == isShowingI1()) {
    showData(newest); // selects it in the list too
  } else {
    const QSignalBlocker block(list);
    list->select(newest);
  }
  stacksChanged();
}

bool Body::adoptFrame(std::unique_ptr<TiffData> frame, int fNo, bool isI1)
{
  if (!frame)
    return false;
  if (m_closing) {
    m_session->appendFrame(isI1, std::move(frame)); // freed with the stack
    return false;
  }
  LoadState& load = isI1 ? m_i1Load : m_i0Load;
  if (load.superseded > 0)
    return false; // from a load whose stack was cleared since
  if (load.replacing) {
    load.replacing = false;
    dropFrames(isI1);
  }
  frame->energy = m_session->stackOptions(isI1).rule.energyOf(frame->fileName, fNo);
  {
    // The list follows the stack; which frame shows is decided afterwards.
    SelectDataFiles* list = isI1 ? m_i1List : m_i0List;
    const QSignalBlocker block(list);
    list->addFileWithEnergy(frame->fileName, frame->energy);
  }
  // Not rendered here: a frame gets its display image when it is shown.
  m_session->appendFrame(isI1, std::move(frame));
  return true;
}

void Body::finishedLoadI1Files()
{
  finishLoad(m_i1List, m_i1Load, true);
}

void Body::finishedLoadI0Files()
{
  finishLoad(m_i0List, m_i0Load, false);
}

void Body::finishLoad(SelectDataFiles* list, LoadState& load, bool isI1)
{
  if (m_closing)
    return;
  load.pending = std::max(0, load.pending - 1);
  list->setLoading(load.pending > 0);
  if (load.superseded > 0) {
    --load.superseded;
  } else if (load.replacing) {
    load.replacing = false;
    refuseIn(list,
             QStringLiteral("No image read from the files chosen: the stack stays as it was"),
             tr("No image read from the files chosen: the stack stays as it was"));
  } else {
    // What a quiet load (show-latest off) left out is caught up once.
    const FrameStack& stack = m_session->stack(isI1);
    updateSeekRange();
    if (isI1 == isShowingI1() && m_shownIndex < 0 && !stack.isEmpty())
      showData(std::max(0, list->currentIndex()));
    stacksChanged();
  }
}

void Body::showData(int no)
{
  setSeekControls(no);
  const FrameStack& stack = shownStack();
  TiffData* frame = stack.at(no);
  if (!frame)
    return;
  if (frame->displayImage.isNull())
    frame->render(m_mapImages->mapping(), this);
  // Only the frame on view keeps a display image.
  if (TiffData* before = stack.at(m_shownIndex); before && before != frame)
    before->dropDisplay();
  m_shownIndex = no;
  m_mapShown = false;
  reflectShownKind();
  m_ui->dispA->setImage(frame->displayImage);
  m_ui->CBar->setMinMax(frame->minValue, frame->maxValue);
  m_ui->ImgNo->setToolTip(frame->fileName);
  SelectDataFiles* list = shownList();
  if (list->currentIndex() != no)
    list->select(no);
  // The image processor (when present) receives I1 frames only: it keeps
  // the frame, and only clearing the I1 stack tells it to let go.
  if (m_imgProc && isShowingI1())
    m_imgProc->setFrame(frame);
}

void Body::showNothing()
{
  m_shownIndex = -1;
  m_mapShown = false;
  reflectShownKind();
  m_ui->dispA->clearImage();
  m_ui->ImgNo->setToolTip(QString());
  // Nothing on view: no read-outs of what was.
  m_ui->HCross->clearProfiles();
  m_ui->VCross->clearProfiles();
  m_ui->Value->clear();
  m_ui->CBar->setMinMax(0.0, 1.0);
}

void Body::setSeekControls(int no)
{
  const QSignalBlocker blockBar(m_ui->SeekBar);
  const QSignalBlocker blockNo(m_ui->ImgNo);
  m_ui->SeekBar->setValue(no);
  m_ui->ImgNo->setValue(no);
}

void Body::updateSeekRange()
{
  const int last = std::max(0, shownStack().size() - 1);
  const QSignalBlocker blockBar(m_ui->SeekBar);
  const QSignalBlocker blockNo(m_ui->ImgNo);
  m_ui->SeekBar->setMaximum(last);
  m_ui->ImgNo->setMaximum(last);
}

void Body::seekImage(int imgNo)
{
  showData(imgNo);
}

void Body::sliderMoved(int idx)
{
  showData(idx);
}

void Body::prev()
{
  if (m_shownIndex > 0)
    showData(m_shownIndex - 1);
}

void Body::next()
{
  if (m_shownIndex + 1 < shownStack().size())
    showData(m_shownIndex + 1);
}

void Body::selectedDataI0(bool f)
{
  Q_UNUSED(f); // ShowData itself says which stack is shown now
  updateSeekRange();
  showNothing();
  const int idx = shownList()->currentIndex();
  if (shownStack().isValidIndex(idx))
    showData(idx);
  else if (!shownStack().isEmpty())
    showData(0);
  else
    setSeekControls(0);
}

void Body::listIndexChanged(bool isI1, int idx)
{
  if (isI1 == isShowingI1() && idx != m_shownIndex)
    showData(idx);
}

void Body::selectedDark(const QString& fname)
{
  // Read before forgetting the old dark frame: a file that cannot be read
  // changes nothing.
  if (refusedDuringBatch(this))
    return;
  auto frame = std::make_unique<TiffData>();
  const DebugLineMark before = threadDebugLines();
  if (!frame->read(fname)) {
    showRefusal(this, notReadText(fname, debugLineSince(before)));
    return;
  }
  stopRunsReadingFrames();
  clearDark();
  m_session->setDark(std::move(frame));
  m_ui->DarkFileName->setText(fname);
  stacksChanged();
}

void Body::clearDark()
{
  if (refusedDuringBatch(this))
    return;
  stopRunsReadingFrames();
  m_session->clearDark();
  m_ui->DarkFileName->clear();
}

void Body::stacksChanged()
{
  refreshSpectrumSoon();
}

// ---- Display ------------------------------------------------------------

void Body::cBarUpdating()
{
  // While a limit is dragged only the picture on view follows; the whole
  // stack (or every map) is rendered once the drag ends.
  if (m_mapShown && m_shiftMapShown) {
    renderShiftMap();
    return;
  }
  if (m_mapShown) {
    renderShownMap();
    return;
  }
  TiffData* frame = shownStack().at(m_shownIndex);
  if (!frame)
    return;
  frame->render(m_mapImages->mapping());
  m_ui->dispA->setImage(frame->displayImage);
}

void Body::cBarUpdated()
{
  qDebug() << "cBarUpdated" << m_ui->CBar->minValue() << m_ui->CBar->maxValue();
  if (m_mapShown && m_shiftMapShown) {
    renderShiftMap();
    return;
  }
  if (m_mapShown) {
    if (m_lcfRun)
      m_lcfRun->refreshMaps();
    renderShownMap(); // a captured or processed map is not one of the run's
    return;
  }
  // The frame on view is drawn with the new limits; the others are drawn
  // when they are shown.
  const ColorMapping mapping = m_mapImages->mapping();
  TiffData* shown = shownStack().at(m_shownIndex);
  for (TiffData* frame : shownStack().pointers())
    if (frame != shown)
      frame->dropDisplay();
  if (shown) {
    shown->render(mapping);
    m_ui->dispA->setImage(shown->displayImage);
  }
}

void Body::draw(QPainter* p)
{
  if (i1Frames().isEmpty() || !m_ui->dispA->hasImage())
    return;
  const int hw = std::abs(m_session->bandW);
  const int hh = std::abs(m_session->bandH);
  const ChCoord* c = m_ui->dispA->coord();
  const QRectF box(QPointF(c->sx(m_posX - hw), c->sy(m_posY - hh)),
                   QPointF(c->sx(m_posX + hw + 1), c->sy(m_posY + hh + 1)));
  p->save();
  p->setPen(QPen(QColor(255, 64, 64), 1));
  p->setBrush(Qt::NoBrush);
  p->drawRect(box);
  p->restore();
}

void Body::onMouseMovedInDispA()
{
  const QPoint at = m_ui->dispA->pointerPixel();
  m_ui->Position->setText(QString::asprintf("(% 4d, % 4d)", at.x(), at.y()));
  // The value of what the view shows: the map's while a map is shown.
  const TiffData* frame = shownStack().at(m_shownIndex);
  const Analyzed2DRes* map = shownMap();
  if (map)
    m_ui->Value->setText(QString::asprintf("%g", map->shownValueAt(at.x(), at.y())));
  else
    m_ui->Value->setText(frame ? QString::asprintf("%g", frame->sample(at.x(), at.y(), 0, 0))
                               : QString());
  showProfiles(at);
}

const Analyzed2DRes* Body::shownMap() const
{
  if (!m_mapShown)
    return nullptr;
  const Analyzed2DRes* map = m_shiftMapShown ? shiftMap() : m_analyzer->currentMap();
  return map && map->hasData() ? map : nullptr;
}

void Body::dropMapsOfAnotherSize()
{
  // Maps of a stack of another size would be drawn over the wrong pixels
  // and read at the wrong points.
  bool dropped = false;
  for (Analyzed2DRes* map : allMaps()) {
    if (map && map->hasData() && (map->width() != stackWidth() || map->height() != stackHeight())) {
      map->clear();
      dropped = true;
    }
  }
  if (dropped && m_mapShown)
    showNothing();
}
