#include "gui/display/RefusalLine.h"

#include "app/Refusal.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QStatusBar>
#include <QWidget>

#include <functional>

namespace {

// Catches the refusals sent to its window; the window owns it.
class RefusalFilter : public QObject
{
public:
  RefusalFilter(QWidget* window, std::function<void(const QString&)> show)
    : QObject(window)
    , m_show(std::move(show))
  {
    window->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* e) override
  {
    if (e->type() != RefusalEvent::eventType())
      return QObject::eventFilter(watched, e);
    m_show(static_cast<RefusalEvent*>(e)->text());
    e->accept();
    return true;
  }

private:
  std::function<void(const QString&)> m_show;
};

} // namespace

void showRefusalsIn(QWidget* window, QLabel* line)
{
  QPointer<QLabel> target(line);
  new RefusalFilter(window, [target](const QString& text) {
    if (!target)
      return;
    target->setText(text);
    target->setToolTip(text);
  });
}

void showRefusalsIn(QWidget* window, QStatusBar* line)
{
  QPointer<QStatusBar> target(line);
  new RefusalFilter(window, [target](const QString& text) {
    if (!target)
      return;
    target->showMessage(text);
    target->setToolTip(text);
  });
}

QLabel* addRefusalLine(QWidget* window)
{
  auto* line = new QLabel(window);
  line->setObjectName(QStringLiteral("RefusalLine"));
  line->setWordWrap(true);
  line->setStyleSheet(QStringLiteral("color: #b00000"));
  if (auto* box = qobject_cast<QBoxLayout*>(window->layout()))
    box->addWidget(line);
  else if (auto* grid = qobject_cast<QGridLayout*>(window->layout()))
    grid->addWidget(line, grid->rowCount(), 0, 1, grid->columnCount());
  showRefusalsIn(window, line);
  return line;
}
