#include "app/Settings.h"
#include "gui/analysis/Analyzer.h"
#include "gui/app/DialogFolders.h"
#include "gui/body/Body.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QLocale>
#include <QSet>
#include <QTemporaryDir>
#include <QValidator>

#include <gtest/gtest.h>

namespace {

// Fields of the windows that hold words, not numbers.
const QSet<QString> kTextFields = {
  "DarkFileName", "SuggestingElm", "AElemNames", "Map1Name", "Map2Name", "Pattern", "RefFilePath",
};

bool insideOwnInput(const QWidget* w)
{
  for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget())
    if (qobject_cast<const QFileDialog*>(p) || qobject_cast<const QAbstractSpinBox*>(p) ||
        qobject_cast<const QComboBox*>(p))
      return true;
  return false;
}

} // namespace

// Every field a user types a number into, in every window (an element row
// included), refuses letters and takes numbers as the program reads them
// (a decimal point), also on a desktop whose language writes a comma.
TEST(WindowInputs, NumberFieldsRefuseLetters)
{
  const QLocale desktop;
  QLocale::setDefault(QLocale(QLocale::German));
  Body body;
  body.analyzer()->setTargetElements(QStringLiteral("Fe, Ni"));
  body.analyzer()->newElems();
  int checked = 0;
  for (QWidget* w : QApplication::allWidgets()) {
    auto* field = qobject_cast<QLineEdit*>(w);
    if (!field || field->isReadOnly() || insideOwnInput(field) ||
        kTextFields.contains(field->objectName()))
      continue;
    SCOPED_TRACE(field->objectName().toStdString());
    const QValidator* v = field->validator();
    ASSERT_NE(v, nullptr);
    QString letters = QStringLiteral("1a");
    int pos = 0;
    EXPECT_EQ(v->validate(letters, pos), QValidator::Invalid);
    QString number =
      qobject_cast<const QIntValidator*>(v) ? QStringLiteral("12") : QStringLiteral("0.5e1");
    EXPECT_NE(v->validate(number, pos), QValidator::Invalid);
    ++checked;
  }
  EXPECT_GT(checked, 50);
  QLocale::setDefault(desktop);
}

// A dialog opens in the folder last chosen for its kind of file (in any
// dialog of that kind), the configured root before and for the other kinds,
// and again the root once that folder is gone.
TEST(WindowInputs, DialogsOpenInTheFolderLastUsedForTheirKind)
{
  QTemporaryDir dir;
  ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("refs")));
  const QString refs = QDir(dir.path()).filePath(QStringLiteral("refs"));
  const QString root = dialogFolder(FileKind::Spectra);
  EXPECT_EQ(root, settings().DataRoot);

  QFileDialog chooser;
  followFolder(&chooser, FileKind::Spectra);
  emit chooser.filesSelected({ refs + QStringLiteral("/a.dat") });
  QFileDialog other;
  followFolder(&other, FileKind::Spectra);
  other.show();
  EXPECT_EQ(QDir(other.directory()).absolutePath(), QDir(refs).absolutePath());
  other.hide();
  EXPECT_EQ(dialogFolder(FileKind::Images), settings().DataRoot);
  EXPECT_EQ(dialogFolder(FileKind::Batch), settings().BatchRoot);

  ASSERT_TRUE(QDir(refs).removeRecursively());
  EXPECT_EQ(dialogFolder(FileKind::Spectra), root);
}
