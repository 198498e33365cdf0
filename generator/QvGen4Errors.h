// The exceptions of the generator model. Each carries the exact Russian message shown to the
// operator (UTF-8).
#pragma once

#include <stdexcept>
#include <string>

// A general failure: link writes and reads, table dividers.
class EQvGen4Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file could not be opened, read or written.
class EQvGen4InOutError : public EQvGen4Error {
public:
    using EQvGen4Error::EQvGen4Error;
};

// A system resource (a timer) could not be had.
class EQvGen4OutOfResources : public EQvGen4Error {
public:
    using EQvGen4Error::EQvGen4Error;
};
