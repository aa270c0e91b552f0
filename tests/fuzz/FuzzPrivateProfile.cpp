// Reads arbitrary bytes as a language or software-information file (users
// edit and exchange them) with the lookups the program makes, ASCII and
// Chinese names alike. Every value must come back as valid UTF-8 within the
// length a 255-byte value can have, however the file is broken.
#include "platform/PrivateProfile.h"
#include "platform/TextEncoding.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr std::pair<std::string_view, std::string_view> kLookups[] = {
    {"Lang", "Language"},
    {"String", "strCommFail"},
    {"SoftInf", "Name"},
    {"a", "b"},
    {"\xE4\xB8\xAD\xE6\x96\x87", "\xE5\x90\x8D"}};

// One GBK byte can become three UTF-8 bytes.
constexpr std::size_t kLongestValue = 3 * PrivateProfile::MaxValueBytes;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The file lives in memory; the reader opens it by its /proc path.
    static const int fd = memfd_create("profile", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ftruncate(fd, 0) != 0 ||
        pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) {
        return 0;
    }
    for (const auto& [section, key] : kLookups) {
        const std::string value = PrivateProfile::ReadString(path, section, key);
        if (value.size() > kLongestValue || !TextEncoding::IsValidUtf8(value)) {
            __builtin_trap();
        }
    }
    return 0;
}
