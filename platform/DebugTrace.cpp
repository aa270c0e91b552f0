#include "platform/DebugTrace.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <unistd.h>

void DebugTrace(const char* format, ...) {
    const int savedErrno = errno;
    constexpr std::size_t BufferSize = 1024;
    char buffer[BufferSize + 1]; // one more for the newline in place of the NUL
    va_list arguments;
    va_start(arguments, format);
    const int formatted = std::vsnprintf(buffer, BufferSize, format, arguments);
    va_end(arguments);
    if (formatted >= 0) {
        const std::size_t length = std::min(static_cast<std::size_t>(formatted), BufferSize - 1);
        buffer[length] = '\n';
        ssize_t result;
        do {
            result = write(STDERR_FILENO, buffer, length + 1);
        } while (result < 0 && errno == EINTR);
    }
    errno = savedErrno;
}
