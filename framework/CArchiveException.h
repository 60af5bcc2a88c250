#pragma once

#include <stdexcept>
#include <string>

// The one error type of reading and writing archives and the files behind them. The document
// turns it into a message for the user; nothing else is thrown by the archive. The message may
// name the file, so it is in the file system's encoding (UTF-8).
class CArchiveException : public std::runtime_error {
public:
    enum Cause {
        generic,
        endOfFile, // the stream ended inside a value
        badCount,  // a count or length larger than what is left
        badClass,  // unknown class name, or a class of the wrong kind
        badSchema, // schema word differs from the class's own
        badIndex,  // a tag that names no earlier class, or a back-reference to an object
        fileError, // the file could not be opened, read or written
    };

    CArchiveException(Cause cause, const std::string& message)
        : std::runtime_error(message), m_cause(cause)
    {
    }

    Cause GetCause() const { return m_cause; }

private:
    Cause m_cause;
};
