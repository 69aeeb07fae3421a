#include "gui/app/NumberFields.h"

#include <QDoubleValidator>
#include <QIntValidator>
#include <QLineEdit>
#include <QLocale>

namespace {

// "1,000" would pass a validator in a locale with group separators and then
// fail QString::toDouble: refuse it at the keyboard instead.
QLocale numberLocale()
{
  QLocale c = QLocale::c();
  c.setNumberOptions(QLocale::RejectGroupSeparator | QLocale::OmitGroupSeparator);
  return c;
}

} // namespace

void acceptReals(std::initializer_list<QLineEdit*> fields, double lo, double hi)
{
  for (QLineEdit* field : fields) {
    auto* v = new QDoubleValidator(lo, hi, 1000, field);
    v->setNotation(QDoubleValidator::ScientificNotation);
    v->setLocale(numberLocale());
    field->setValidator(v);
  }
}

void acceptIntegers(std::initializer_list<QLineEdit*> fields, int lo, int hi)
{
  for (QLineEdit* field : fields) {
    auto* v = new QIntValidator(lo, hi, field);
    v->setLocale(numberLocale());
    field->setValidator(v);
  }
}
