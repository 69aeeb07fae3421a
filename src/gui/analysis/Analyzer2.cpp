#include "gui/analysis/Analyzer2.h"

#include "ui_Analyzer2.h"

#include <QDebug>

Analyzer2::Analyzer2(QWidget* parent)
  : QFrame(parent)
  , m_ui(std::make_unique<Ui::Analyzer2>())
{
  m_ui->setupUi(this);
  connect(m_ui->CollectQInfo, &QPushButton::clicked, this, &Analyzer2::startCollectQInfo);
  connect(m_ui->FourierA, &QPushButton::clicked, this, &Analyzer2::startFourierA);
}

Analyzer2::~Analyzer2() = default;

void Analyzer2::doCollectQInfo(AnalyzeCond ac)
{
  // What the collection is to gather beyond the area is not settled; the
  // area is kept for it.
  m_area = ac;
  qDebug().noquote() << "do collect Q Info";
}
