#pragma once

#include <QtGlobal>

#include <initializer_list>
#include <limits>

class QLineEdit;

// Number fields take only what reads as a number while it is typed: a
// letter never enters them, so a field cannot hold text that is later read
// as 0 without a word. They parse in the C locale, as the fields are read
// (QString::toDouble), whatever the desktop's language.
void acceptReals(std::initializer_list<QLineEdit*> fields,
                 double lo = -std::numeric_limits<double>::infinity(),
                 double hi = std::numeric_limits<double>::infinity());
void acceptIntegers(std::initializer_list<QLineEdit*> fields,
                    int lo = std::numeric_limits<int>::min(),
                    int hi = std::numeric_limits<int>::max());
