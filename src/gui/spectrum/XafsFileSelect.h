#pragma once

#include <QString>
#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;

// Chooses one spectrum file: "Select" (file dialog), "Clear", the chosen
// name (read-only) and a "Use" box. The owner loads the file when
// `newFile` arrives and may reset the loaded flag when that load fails.
class XafsFileSelect : public QWidget
{
  Q_OBJECT

public:
  explicit XafsFileSelect(const QString& title = QString(), QWidget* parent = nullptr);
  // For forms, which build every widget from its parent alone.
  explicit XafsFileSelect(QWidget* parent)
    : XafsFileSelect(QString(), parent)
  {
  }

  void setTitle(const QString& title) { m_title = title; }
  QString fileName() const;
  bool isLoaded() const { return m_loaded; }
  void setLoaded(bool loaded) { m_loaded = loaded; }
  bool isUsed() const;

  QPushButton* selectButton() const { return m_select; }
  QPushButton* clearButton() const { return m_clear; }
  QCheckBox* useBox() const { return m_use; }

signals:
  void changedUse(bool f);
  void newFile(QString fname);
  void cleared();

public slots:
  void load(QString fname);
  void fileSelected(QString fname);
  void clear();
  void setUse(bool f);
  void showUse(bool f);
  // Shows a file read elsewhere (no newFile, no changedUse).
  void showFile(const QString& fname, bool loaded, bool use);
  void setMaxSelectBW(int max);
  void setMaxClearBW(int max);

private:
  void openDialog();

  QString m_title;
  bool m_loaded = false;
  QPushButton* m_select = nullptr;
  QPushButton* m_clear = nullptr;
  QLineEdit* m_name = nullptr;
  QCheckBox* m_use = nullptr;
};
