#include "gui/spectrum/XafsFileSelect.h"
#include "gui/app/DialogFolders.h"

#include "app/Settings.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

XafsFileSelect::XafsFileSelect(const QString& title, QWidget* parent)
  : QWidget(parent)
  , m_title(title)
{
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  m_select = new QPushButton(tr("Select"), this);
  m_select->setObjectName(QStringLiteral("Select"));
  m_clear = new QPushButton(tr("Clear"), this);
  m_clear->setObjectName(QStringLiteral("Clear"));
  m_name = new QLineEdit(this);
  m_name->setObjectName(QStringLiteral("FileName"));
  m_name->setReadOnly(true);
  m_use = new QCheckBox(tr("Use"), this);
  m_use->setObjectName(QStringLiteral("Use"));
  row->addWidget(m_select);
  row->addWidget(m_clear);
  row->addWidget(m_name, 1);
  row->addWidget(m_use);

  connect(m_select, &QPushButton::clicked, this, &XafsFileSelect::openDialog);
  connect(m_clear, &QPushButton::clicked, this, &XafsFileSelect::clear);
  connect(m_use, &QCheckBox::toggled, this, &XafsFileSelect::changedUse);
}

QString XafsFileSelect::fileName() const
{
  return m_name->text();
}

bool XafsFileSelect::isUsed() const
{
  return m_use->isChecked();
}

void XafsFileSelect::openDialog()
{
  const QString name =
    QFileDialog::getOpenFileName(this,
                                 m_title,
                                 dialogFolder(FileKind::Spectra),
                                 QStringLiteral("XAFS Data File (*.dat);;XMU, XDI Files (*.xmu "
                                                "*.xdi);;Any Files (* *.*)"));
  if (!name.isEmpty()) {
    rememberFolder(FileKind::Spectra, name);
    fileSelected(name);
  }
}

void XafsFileSelect::load(QString fname)
{
  fileSelected(fname);
}

void XafsFileSelect::fileSelected(QString fname)
{
  m_loaded = true;
  m_name->setText(fname);
  emit newFile(fname);
}

void XafsFileSelect::clear()
{
  // A cleared selector holds no spectrum, so it no longer counts as loaded.
  m_loaded = false;
  m_name->clear();
  emit cleared();
}

void XafsFileSelect::setUse(bool f)
{
  m_use->setChecked(f);
}

void XafsFileSelect::showFile(const QString& fname, bool loaded, bool use)
{
  m_loaded = loaded;
  if (m_name->text() != fname)
    m_name->setText(fname);
  const QSignalBlocker block(m_use);
  m_use->setChecked(use);
}

void XafsFileSelect::showUse(bool f)
{
  m_use->setVisible(f);
}

void XafsFileSelect::setMaxSelectBW(int max)
{
  m_select->setMaximumWidth(max);
}

void XafsFileSelect::setMaxClearBW(int max)
{
  m_clear->setMaximumWidth(max);
}
