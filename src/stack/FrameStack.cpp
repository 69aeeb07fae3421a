#include "stack/FrameStack.h"

#include "input/TiffData.h"

FrameStack::FrameStack() = default;
FrameStack::~FrameStack() = default;

void FrameStack::append(std::unique_ptr<TiffData> frame)
{
  if (!frame)
    return;
  m_view.append(frame.get());
  m_frames.push_back(std::move(frame));
}

void FrameStack::clear()
{
  // The view goes first so that it never holds a freed frame.
  m_view.clear();
  m_frames.clear();
}
