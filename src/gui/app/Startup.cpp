#include "gui/app/Startup.h"

#include "app/DebugLines.h"
#include "app/ParamRegistry.h"
#include "app/Settings.h"
#include "display/ColorMap.h"
#include "gui/batch/BatchCtrl.h"
#include "gui/body/Body.h"
#include "gui/display/BringToFront.h"

#include <QApplication>
#include <QStringList>
#include <QStyleFactory>
#include <QTranslator>

#include <memory>

int runMainWindow(const StartupOptions& opt)
{
  auto body = std::make_unique<Body>();
  body->setRunThreads(settings().Threads);
  QObject::connect(body.get(), &Body::finishing, qApp, &QApplication::closeAllWindows);
  body->show();
  // -b FILE loads the batch into the batch window; -x runs whatever the
  // window then holds.
  if (!opt.batchFile.isEmpty()) {
    body->batchCtrl()->load(opt.batchFile);
    // A batch named at start-up is what the user came for: its window, with
    // the progress log, shows beside the main window.
    fitToScreen(body->batchCtrl());
    body->batchCtrl()->show();
  }
  if (opt.execBatch)
    body->batchCtrl()->execBatchSlot();
  return QApplication::exec();
}

int runLumacresta(int& argc, char** argv)
{
  // The windows' batch log says why a command failed.
  installDebugLineTap();
  resetSettingsToDefaults();
  buildColourTables();

  QStringList args;
  for (int i = 0; i < argc; ++i)
    args << QString::fromLocal8Bit(argv[i]);

  // The style is chosen before the application object exists.
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  auto app = std::make_unique<QApplication>(argc, argv);
  auto translator = std::make_unique<QTranslator>();

  ParamRegistry registry;
  const StartupOptions opt = prepareStartup(registry, args, settings());

  if (opt.loadTranslation &&
      translator->load(QStringLiteral(":Lumacresta_ja_JP"), QApplication::applicationDirPath()))
    QApplication::installTranslator(translator.get());

  const int rc = runMainWindow(opt);
  QApplication::removeTranslator(translator.get());
  translator.reset();
  app.reset();
  return rc;
}
