#pragma once

#include <exception>

// Runs an operation's body; while trapping is on, an unexpected exception
// thrown inside it is caught and the operation takes its failure path (the
// value returned by onFailure). With trapping off ("-d") the exception
// propagates, for diagnosis.
template <typename Body, typename Failure>
auto RunTrapped(bool errorTrapping, Body&& body, Failure&& onFailure) -> decltype(body())
{
    if (!errorTrapping) {
        return body();
    }
    try {
        return body();
    } catch (...) {
        return onFailure();
    }
}
