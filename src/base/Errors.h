#pragma once

// The exceptions the program raises. Every failure inside the program is an
// exception derived from EMirevaError, caught where a user action began (a
// message box) or at the top of a worker loop (a result that carries the
// error). The message is the text the user is shown.

#include <stdexcept>
#include <string>

class EMirevaError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file or folder operation of the operating system failed; the message
// names the path and the system's reason.
class EFileError : public EMirevaError {
public:
    using EMirevaError::EMirevaError;
};

// Bytes read from outside (a file, an archive member, a plug-in) are not what
// their format demands: a length runs past the end, a count is absurd.
class EFormatError : public EMirevaError {
public:
    using EMirevaError::EMirevaError;
};

// A stream gave fewer bytes than a record needs, or took fewer than it was
// given (a full disk).
class EStreamError : public EMirevaError {
public:
    using EMirevaError::EMirevaError;
};

// A picture could not be decoded, or a bitmap of the asked size cannot exist.
class EInvalidGraphic : public EMirevaError {
public:
    using EMirevaError::EMirevaError;
};

// The settings engine was asked to write something that would break the file,
// such as a key holding "=".
class EIniError : public EMirevaError {
public:
    using EMirevaError::EMirevaError;
};
