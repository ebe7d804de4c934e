#pragma once
// The two ways a handler stops the program. Both unwind the running handler and are caught
// only by the Application, which then runs no further handler of any window.
#include <stdexcept>
#include <string>

namespace forms {

// A failure nobody handles: a missing picture, a 16-bit overflow, a failing file operation.
// The Application shows `message` in one message box and ends with a non-zero status.
class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(const std::string& message) : std::runtime_error(message) {}
};

// `End`: the program stops at once, with status 0 unless told otherwise.
struct EndProgram {
    int status = 0;
};

[[noreturn]] inline void End(int status = 0) { throw EndProgram{status}; }

}  // namespace forms
