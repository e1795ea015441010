// Kernel-object handles: what the programs' device calls hand around.
//
// A handle is a pointer to an object whose operations are virtual. The
// outside libraries (libPallomar.so, libQuillfen.so) each link their own copy
// of the platform code, and a program closes the handles they give it with
// its own copy of closeHandle: a virtual call always lands in the code of the
// module that made the object, so no copy needs to know another's tables.
//
// Objects are never freed once made: close releases everything the object
// holds (the device, the socket) and puts the empty shell on a pool for
// later handles. A call on a closed handle therefore finds a valid object
// that answers EBADF instead of touching freed memory, and a close that
// races with a transfer on another thread waits for nothing and breaks
// nothing (the transfer keeps its own reference to the device until it
// returns). As with Windows handle values, a shell may eventually be handed
// out again for a new handle; the pool keeps recently closed shells back for
// a while to make such reuse rare.
//
// Failures set errno: EBADF for a null or closed handle, ENODEV for an
// unplugged device, ETIMEDOUT for a read or transfer that timed out, EIO and
// friends for the rest.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

struct HidInterfaceInfo;

class KernelObject {
 public:
  KernelObject(const KernelObject&) = delete;
  KernelObject& operator=(const KernelObject&) = delete;

  // Releases what the object holds; false (EBADF) when already closed.
  virtual bool close() = 0;
  // Output report (report id first, as WriteFile on a HID interface).
  virtual bool write(const void* data, std::size_t size, std::size_t* written) = 0;
  // One input report (report id first), waiting at most the read time-out.
  virtual bool read(void* data, std::size_t size, std::size_t* got) = 0;
  virtual bool setFeature(const void* data, std::size_t size) = 0;
  // data[0] names the report id to read; the report lands in data.
  virtual bool getFeature(void* data, std::size_t size) = 0;
  virtual bool getInputReport(void* data, std::size_t size) = 0;
  // What the handle was opened on.
  virtual bool describe(HidInterfaceInfo& info) = 0;
  // Milliseconds a read waits for a report, and a write or feature transfer
  // for the device to take it.
  virtual void setTimeouts(unsigned readMs, unsigned transferMs) = 0;

  bool looksValid() const { return magic_ == kMagic; }

 protected:
  KernelObject() = default;
  virtual ~KernelObject() = default;

 private:
  static constexpr std::uint32_t kMagic = 0x4B4F424A;  // "KOBJ"
  std::uint32_t magic_ = kMagic;
};

using Handle = KernelObject*;

// The platform's handle-closing call; works on handles from any module.
bool closeHandle(Handle handle);

// Synchronous file calls on a handle, with the Windows argument shapes.
bool writeFile(Handle handle, const void* data, std::uint32_t size, std::uint32_t* written);
bool readFile(Handle handle, void* data, std::uint32_t size, std::uint32_t* got);

// HID class calls on a handle.
bool hidSetFeature(Handle handle, const void* data, std::size_t size);
bool hidGetFeature(Handle handle, void* data, std::size_t size);
bool hidGetInputReport(Handle handle, void* data, std::size_t size);
bool hidDescribe(Handle handle, HidInterfaceInfo& info);
bool setHandleTimeouts(Handle handle, unsigned readMs, unsigned transferMs);

}  // namespace platform
