#pragma once

// Small guards around the HDF5 C library, shared by the stack reader and
// the map writer.

#include <hdf5.h>

namespace hdf5 {

// Closes an HDF5 handle on every path.
class Handle
{
public:
  using Closer = herr_t (*)(hid_t);
  Handle(hid_t id, Closer closer)
    : m_id(id)
    , m_closer(closer)
  {
  }
  ~Handle()
  {
    if (m_id >= 0)
      m_closer(m_id);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  hid_t id() const { return m_id; }
  bool ok() const { return m_id >= 0; }

private:
  hid_t m_id;
  Closer m_closer;
};

// HDF5 prints its error stack to stderr by default; a damaged file is
// reported by our own line instead.
class QuietErrors
{
public:
  QuietErrors()
  {
    H5Eget_auto2(H5E_DEFAULT, &m_func, &m_data);
    H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
  }
  ~QuietErrors() { H5Eset_auto2(H5E_DEFAULT, m_func, m_data); }
  QuietErrors(const QuietErrors&) = delete;
  QuietErrors& operator=(const QuietErrors&) = delete;

private:
  H5E_auto2_t m_func = nullptr;
  void* m_data = nullptr;
};

} // namespace hdf5
