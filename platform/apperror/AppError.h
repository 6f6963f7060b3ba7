// Errors that a handler raises and does not catch: a number and a text, as the user is shown them.
//
// Contract
//   Throw AppError from any code running in an event handler. An AppError (or any std::exception)
//   that leaves a handler reaches the uncaught-error report (UncaughtErrorReport.h), which shows
//   the number and the text and then ends the program with a non-zero exit status.
#pragma once

#include <stdexcept>
#include <string>

namespace errors {

// The error numbers the game can meet; the texts travel with each AppError.
inline constexpr int kOverflow = 6;                 // a value does not fit its integer type
inline constexpr int kCannotCreateObject = 429;     // a component could not be created
inline constexpr int kResourceNotFound = 326;       // the resource library lacks the id or type
inline constexpr int kFileAccess = 75;              // a file could not be read or written
inline constexpr int kInvalidPicture = 481;         // the bytes are not a picture

class AppError : public std::runtime_error {
public:
    AppError(int number, const std::string& text) : std::runtime_error(text), m_number(number) {}
    int number() const noexcept { return m_number; }

private:
    int m_number;
};

}  // namespace errors
