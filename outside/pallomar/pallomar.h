/* libPallomar.so: the HID access library of the Q350RGB program.
 *
 * Six C entry points, looked up by name after the library is loaded.
 * Handles are platform handles (platform/hid/handle.h) and are closed with
 * platform::closeHandle, not through this library. Boolean results are 1 or
 * 0; on failure errno says why.
 *
 * OpenHidDevice(usagePage, usage, match, predicate, index, readTimeoutMs,
 *               debug, reserved, openFlags, count)
 *   Walks the present HID interfaces (real and simulated) whose usage page
 *   and usage are the given ones and whose interface path contains `match`
 *   (UTF-16, compared without regard to case; null or empty matches all).
 *   The predicate is asked about each of them with
 *     (interface number, input report length, output report length,
 *      feature report length), the lengths counting the report id byte;
 *   a non-zero answer accepts the interface. Returns a handle of the
 *   accepted interface number `index` (0: the first) that could be opened,
 *   or null. When `count` is not null it receives the number of distinct
 *   devices with an accepted interface. readTimeoutMs is how long a read
 *   waits for an input report (0: 1000 ms). A non-zero `debug` writes one
 *   debug line per candidate. `reserved` and `openFlags` (0x40000000, the
 *   overlapped flag of Windows) change nothing: every transfer here waits
 *   with its own time-out.
 */
#ifndef KAVRO_OUTSIDE_PALLOMAR_H
#define KAVRO_OUTSIDE_PALLOMAR_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int (*PallomarPredicate)(int interfaceNumber, int inputLength, int outputLength, int featureLength);

typedef void* (*PallomarOpenHidDevice)(int usagePage, int usage, const uint16_t* match, PallomarPredicate predicate,
                                       int index, int readTimeoutMs, int debug, int reserved, unsigned openFlags,
                                       int* count);
/* buffer[0] is the report id; length counts it. */
typedef int (*PallomarSetFeature)(void* handle, const void* buffer, int length);
typedef int (*PallomarGetFeature)(void* handle, void* buffer, int length);
typedef int (*PallomarGetInputReport)(void* handle, void* buffer, int length);
/* Writes the product string, NUL-terminated and cut to `characters` - 1. */
typedef int (*PallomarGetProductString)(void* handle, uint16_t* buffer, int characters);
typedef int (*PallomarGetVersionNumber)(void* handle, uint16_t* version);

#ifdef __cplusplus
}
#endif

#endif
