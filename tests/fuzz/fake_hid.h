// In-process stand-ins for the HID libraries the device links load by name
// (libPallomar.so for Lumera, libQuillfen.so for Q350Config), for the fuzz
// targets of the device replies: every transfer is answered at once from a
// script of replies, so a fuzz input costs microseconds instead of a
// simulator round trip.
//
// Script: a run of steps, one per reply the code under test asks for (a
// get-feature, input-report or read call). A step is a control byte and,
// unless the control byte's low two bits are 0 (the call fails), a length
// byte and that many reply bytes (0xFF: as many as the caller's buffer
// holds after the report id). When the script has run out every further
// call fails, as a keyboard that stopped answering does. Writes and
// set-feature calls always succeed.
//
// The control functions are C entry points of the same library, so a test
// reaches the very copy the driver loaded.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {
// Starts a new script (copied) and frees the handles closed so far.
typedef void (*FakeHidSetScriptFn)(const std::uint8_t* data, std::size_t size);
// Handles opened and not closed yet.
typedef int (*FakeHidOpenHandlesFn)();
// Reply calls answered or refused since the script was set.
typedef int (*FakeHidRepliesFn)();
}
