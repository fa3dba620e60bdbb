#pragma once

#include <gtest/gtest.h>

#include "hostapi/ComError.h"

// Runs the call and hands back the error it raised; a call that raises nothing fails the test.
template <class F>
orvex::ComError Raised(F&& call) {
    try {
        call();
    } catch (const orvex::ComError& e) {
        return e;
    }
    ADD_FAILURE() << "nothing was raised";
    return orvex::ComError(0, {}, {});
}
