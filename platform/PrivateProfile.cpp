#include "platform/PrivateProfile.h"

#include "platform/TextEncoding.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

struct FileDescriptor {
    int m_fd = -1;
    ~FileDescriptor() {
        if (m_fd >= 0) {
            close(m_fd);
        }
    }
};

// Whole regular file into bytes (up to MaxFileBytes); false when it cannot be
// read. Non-blocking open so that a FIFO given as a path cannot hang us.
bool ReadFile(const std::string& path, std::string& bytes) {
    FileDescriptor file{open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)};
    struct stat status {};
    if (file.m_fd < 0 || fstat(file.m_fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    bytes.clear();
    const auto expected = static_cast<std::size_t>(status.st_size);
    bytes.resize(std::min(expected, PrivateProfile::MaxFileBytes) + 1);
    std::size_t used = 0;
    while (used < PrivateProfile::MaxFileBytes) {
        if (used == bytes.size()) {
            bytes.resize(std::min(bytes.size() * 2, PrivateProfile::MaxFileBytes));
        }
        const std::size_t room = std::min(bytes.size(), PrivateProfile::MaxFileBytes) - used;
        const ssize_t count = read(file.m_fd, bytes.data() + used, room);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return false;
        }
        if (count == 0) {
            break;
        }
        used += static_cast<std::size_t>(count);
    }
    bytes.resize(used);
    return true;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// A caller's name (UTF-8) in GBK; false when GBK cannot hold it, so that it
// cannot be in the file.
bool InGbk(std::string_view name, std::string& converted) {
    if (IsAscii(name)) {
        converted.assign(name);
        return true;
    }
    converted = TextEncoding::Utf8ToGbk(name);
    return TextEncoding::GbkToUtf8(converted) == name;
}

// ASCII letters compare without case; the two bytes of a GBK character
// compare exactly, since its trail byte may look like a letter.
bool SameName(std::string_view a, std::string_view b, bool gbk) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (gbk && TextEncoding::IsGbkPair(a, i)) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) {
                return false;
            }
            ++i;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// A value in double quotes loses one surrounding pair, as the private-profile
// files of the Windows version are read; that way a value keeps its blanks.
std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value.remove_prefix(1);
        value.remove_suffix(1);
    }
    return value;
}

// The value of the first key line named key in any section named section, in
// file order; "" when there is none.
std::string_view FindValue(std::string_view body, bool gbk, std::string_view section,
                           std::string_view key) {
    bool inSection = false;
    std::size_t pos = 0;
    while (pos < body.size()) {
        std::size_t end = body.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            end = body.size();
        }
        const std::string_view line = Trim(body.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            // The last ']' closes the name: a GBK trail byte may be ']'.
            const std::size_t close = line.rfind(']');
            if (close != std::string_view::npos) {
                inSection = SameName(Trim(line.substr(1, close - 1)), section, gbk);
            }
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inSection && equals != std::string_view::npos &&
            SameName(Trim(line.substr(0, equals)), key, gbk)) {
            return Unquote(Trim(line.substr(equals + 1)));
        }
    }
    return {};
}

} // namespace

std::string PrivateProfile::ReadString(const std::string& path, std::string_view section,
                                       std::string_view key) {
    std::string bytes;
    if (key.empty() || !ReadFile(path, bytes)) {
        return {};
    }
    std::string_view body = bytes;
    if (body.starts_with(Utf8Bom)) {
        body.remove_prefix(Utf8Bom.size());
    }
    if (TextEncoding::IsValidUtf8(body)) {
        return std::string(
            TextEncoding::CutUtf8(FindValue(body, false, section, key), MaxValueBytes));
    }
    std::string fileSection;
    std::string fileKey;
    if (!InGbk(section, fileSection) || !InGbk(key, fileKey)) {
        return {};
    }
    const std::string_view value = FindValue(body, true, fileSection, fileKey);
    return TextEncoding::GbkToUtf8(TextEncoding::CutGbk(value, MaxValueBytes));
}
