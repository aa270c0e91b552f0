// Feeds arbitrary bytes to the trend-file reader as a file opened from disk
// would hand them over. Whatever the bytes, reading must end without a fault
// and without taking memory for counts or lengths the bytes cannot back.
#include "trend/TrendFile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TrendCurves curves;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (TrendFile::Parse(bytes, curves) == TrendFile::Status::Ok) {
        // What was read in full writes back to a file that reads the same.
        TrendCurves again;
        if (TrendFile::Parse(TrendFile::Serialize(curves), again) != TrendFile::Status::Ok ||
            again.pv.Count() != curves.pv.Count() ||
            again.current.Count() != curves.current.Count() ||
            again.percent.Count() != curves.percent.Count()) {
            __builtin_trap();
        }
    }
    return 0;
}
