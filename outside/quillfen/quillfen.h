/* libQuillfen.so: the HID helper library of the Q350 program.
 *
 * OpenHidDevice(usagePage, usage, match, index, readTimeoutMs, 0, 0, 0)
 *   Opens the present HID interface (real or simulated) with that usage
 *   page and usage whose interface path contains `match` (UTF-16, compared
 *   without regard to case; null or empty matches all); `index` picks among
 *   several (0: the first). Returns a platform handle (platform/hid/handle.h)
 *   for synchronous report writes and reads with platform::writeFile and
 *   platform::readFile, or null (errno says why). A read waits at most
 *   readTimeoutMs for an input report (0: 1000 ms) and then fails with
 *   ETIMEDOUT: a keyboard that stops answering never freezes its caller.
 *   The last three arguments are reserved and must be 0. The handle is
 *   closed with platform::closeHandle.
 */
#ifndef KAVRO_OUTSIDE_QUILLFEN_H
#define KAVRO_OUTSIDE_QUILLFEN_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef void* (*QuillfenOpenHidDevice)(int usagePage, int usage, const uint16_t* match, int index, int readTimeoutMs,
                                       int reserved1, int reserved2, int reserved3);

#ifdef __cplusplus
}
#endif

#endif
