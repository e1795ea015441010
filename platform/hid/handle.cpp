#include "platform/hid/handle.h"

#include <cerrno>

#include "platform/hid/hid.h"

namespace platform {

namespace {
bool usable(Handle h) {
  if (h && h->looksValid()) return true;
  errno = EBADF;
  return false;
}
}  // namespace

bool closeHandle(Handle handle) { return usable(handle) && handle->close(); }

bool writeFile(Handle handle, const void* data, std::uint32_t size, std::uint32_t* written) {
  if (written) *written = 0;
  if (!usable(handle)) return false;
  std::size_t n = 0;
  const bool ok = handle->write(data, size, &n);
  if (written) *written = static_cast<std::uint32_t>(n);
  return ok;
}

bool readFile(Handle handle, void* data, std::uint32_t size, std::uint32_t* got) {
  if (got) *got = 0;
  if (!usable(handle)) return false;
  std::size_t n = 0;
  const bool ok = handle->read(data, size, &n);
  if (got) *got = static_cast<std::uint32_t>(n);
  return ok;
}

bool hidSetFeature(Handle handle, const void* data, std::size_t size) {
  return usable(handle) && handle->setFeature(data, size);
}

bool hidGetFeature(Handle handle, void* data, std::size_t size) {
  return usable(handle) && handle->getFeature(data, size);
}

bool hidGetInputReport(Handle handle, void* data, std::size_t size) {
  return usable(handle) && handle->getInputReport(data, size);
}

bool hidDescribe(Handle handle, HidInterfaceInfo& info) { return usable(handle) && handle->describe(info); }

bool setHandleTimeouts(Handle handle, unsigned readMs, unsigned transferMs) {
  if (!usable(handle)) return false;
  handle->setTimeouts(readMs, transferMs);
  return true;
}

}  // namespace platform
