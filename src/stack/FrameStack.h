#pragma once

#include <QVector>

#include <memory>
#include <vector>

class TiffData;

// One image stack (the I1 or the I0 frames) in arrival order. The stack
// owns its frames; `pointers()` is a read-only view of the same frames in
// the form the sampling functions take, kept in step with the owners so a
// caller can copy it cheaply (implicit sharing) for one computation.
class FrameStack
{
public:
  FrameStack();
  ~FrameStack();
  FrameStack(const FrameStack&) = delete;
  FrameStack& operator=(const FrameStack&) = delete;

  void append(std::unique_ptr<TiffData> frame);
  void clear();

  int size() const { return m_view.size(); }
  bool isEmpty() const { return m_view.isEmpty(); }
  bool isValidIndex(int i) const { return i >= 0 && i < m_view.size(); }
  // nullptr outside the stack.
  TiffData* at(int i) const { return isValidIndex(i) ? m_view.at(i) : nullptr; }
  const QVector<TiffData*>& pointers() const { return m_view; }

private:
  std::vector<std::unique_ptr<TiffData>> m_frames;
  QVector<TiffData*> m_view;
};
