#include "gui/analysis/SumUpCtrl.h"
#include "gui/app/NumberFields.h"
#include "session/Session.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

SumUpCtrl::SumUpCtrl(Session& session, QWidget* parent)
  : QFrame(parent)
  , m_session(session)
{
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  m_from = new QLineEdit(QStringLiteral("0"), this);
  m_from->setObjectName(QStringLiteral("SumUpFrom"));
  m_from->setMaximumWidth(50);
  m_to = new QLineEdit(QStringLiteral("1"), this);
  m_to->setObjectName(QStringLiteral("SumUpTo"));
  acceptIntegers({ m_from, m_to }, 0);
  m_to->setMaximumWidth(50);
  m_list = new QComboBox(this);
  m_list->setObjectName(QStringLiteral("SumUpRanges"));
  auto* addB = new QPushButton(tr("Add"), this);
  addB->setObjectName(QStringLiteral("SumUpAdd"));
  auto* delB = new QPushButton(tr("Del"), this);
  delB->setObjectName(QStringLiteral("SumUpDel"));
  row->addWidget(new QLabel(tr("Sum Up Img No. From:"), this));
  row->addWidget(m_from);
  row->addWidget(new QLabel(tr("To:"), this));
  row->addWidget(m_to);
  row->addWidget(addB);
  row->addWidget(m_list);
  row->addWidget(delB);
  connect(addB, &QPushButton::clicked, this, &SumUpCtrl::add);
  connect(delB, &QPushButton::clicked, this, &SumUpCtrl::del);
  connect(&m_session, &Session::changed, this, &SumUpCtrl::showRanges);
  showRanges();
}

const SumUpRanges& SumUpCtrl::ranges() const
{
  return m_session.sumUpRanges;
}

void SumUpCtrl::showRanges()
{
  QStringList items;
  for (const auto& r : m_session.sumUpRanges)
    items << QStringLiteral("%1-%2").arg(r.first).arg(r.second);
  QStringList shown;
  for (int i = 0; i < m_list->count(); ++i)
    shown << m_list->itemText(i);
  if (items == shown)
    return;
  m_list->clear();
  m_list->addItems(items);
  m_list->setCurrentIndex(items.size() - 1);
}

void SumUpCtrl::setFields(int from, int to)
{
  m_from->setText(QString::number(from));
  m_to->setText(QString::number(to));
}

void SumUpCtrl::add()
{
  const int from = m_from->text().toInt();
  const int to = m_to->text().toInt();
  m_session.sumUpRanges.append(qMakePair(from, to));
  m_list->addItem(QStringLiteral("%1-%2").arg(from).arg(to));
  m_list->setCurrentIndex(m_list->count() - 1);
}

void SumUpCtrl::del()
{
  SumUpRanges& ranges = m_session.sumUpRanges;
  const int i = m_list->currentIndex();
  if (i < 0 || i >= ranges.size())
    return;
  ranges.removeAt(i);
  m_list->removeItem(i);
  m_list->setCurrentIndex(ranges.isEmpty() ? -1 : std::max(i - 1, 0));
}
