#include "gui/analysis/Analyzer.h"
#include "gui/body/Body.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QLocale>
#include <QSet>
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
