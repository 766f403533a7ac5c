#pragma once

#include <atomic>
#include <cstdint>

#include "link/instrument_link.h"

// How a resynchronisation of the line ended.
enum class ResyncResult {
    InStep, // the instrument confirmed it: the next reply answers the next request
    NoConfirmation, // the line never went quiet, or the identity never came back within the bounds
    Broken, // the connection is gone
};

// Bounds of one resynchronisation. The identity query is confirmed only by a reply whose first
// field is the maker's name; any other line is a late reply of an earlier request and is thrown
// away. An instrument answers in order, so once its identity has come back nothing earlier can.
struct ResyncBounds {
    int QuietMs = 50; // the line must be silent this long before the identity is asked for
    int ConfirmMs = 1000; // silence allowed while waiting for the identity
    int TotalMs = 5000; // the whole resynchronisation, floods included
    // Cleared by whoever wants the resynchronisation given up (a Stop): seen between waits.
    const std::atomic<int32_t>* Running = nullptr;
};

// After a reply went missing the link is out of step: a reply may still be on its way and would be
// taken for the answer to whatever is asked next. This discards input until the line has been quiet,
// asks for the identity ("*idn?") and reads until the identity has come back. On InStep the link's
// OutOfStep is cleared and `roundTripMs` holds how long the identity took to come back.
[[nodiscard]] ResyncResult Resynchronise(CInstrumentLink& link, const ResyncBounds& bounds, int& roundTripMs);
