#pragma once

#include "trend/TrendCurves.h"

#include <string>
#include <string_view>

// The trend file (".tdd"): the three curves in the layout the Windows tool
// writes, so files move between the two. Integers and doubles are
// little-endian; strings carry a length prefix and are GBK on disk, UTF-8 in
// memory; each curve is stored newest sample first and held oldest first.
//
//   "Curve", version 1 (int32), "PV Curve", low, high (double), unit,
//   count (int32), count × {value (double), time (int32)},
//   "Current Curve", count, samples, "Percent Curve", count, samples
class TrendFile {
public:
    enum class Status {
        Ok,
        CannotOpen,   // the file cannot be opened for reading
        CannotCreate, // the file cannot be written where it is asked for
        FormatError,  // a wrong tag, a file that ends early, a read error
        WriteError,   // the disk refused a byte (full, quota, I/O error)
    };

    struct Outcome {
        Status status = Status::Ok;
        int osError = 0; // errno of the refused call, 0 when the bytes were at fault

        bool Ok() const { return status == Status::Ok; }
    };

    // Opens path read-only and reads it into curves: the samples are emptied
    // first, and what was read before a fault stays (the range and unit as
    // far as they were read, the samples of every curve up to the fault).
    static Outcome Load(const std::string& path, TrendCurves& curves);
    // The same from bytes already in memory.
    static Status Parse(std::string_view bytes, TrendCurves& curves);

    // Writes the curves to a new file beside path and renames it over path
    // only once every byte is written and flushed to the disk, so a failed
    // save never damages the file that was there. An existing path that the
    // user may not write, or a folder where no file can be made, gives
    // CannotCreate and leaves everything as it was.
    static Outcome Save(const std::string& path, const TrendCurves& curves);
    // The file's bytes.
    static std::string Serialize(const TrendCurves& curves);

    // What the user reads about a failed load or save ("" when it worked):
    // the text of "strFileError" as lookup gives it for a damaged file or a
    // refused write, otherwise the path followed by "can't Open!" or "can't
    // create!"; the system's reason follows on a line of its own.
    using TextLookup = std::string (*)(std::string_view key);
    static std::string FailureMessage(const Outcome& outcome, const std::string& path,
                                      TextLookup lookup);
};
