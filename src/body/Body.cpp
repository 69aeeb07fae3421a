#include "body/Body.h"

#include "ui_Body.h"

Body::Body(QWidget* parent)
  : QMainWindow(parent)
  , m_ui(std::make_unique<Ui::Body>())
{
  m_ui->setupUi(this);
}

Body::~Body() = default;
