#pragma once

// Writes one diagnostic line to standard error: the formatted text, cut to
// 1023 bytes when longer, then "\n", in a single write so that lines from
// different threads do not interleave. Keeps errno as it was.
void DebugTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
