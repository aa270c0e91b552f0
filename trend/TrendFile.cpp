#include "trend/TrendFile.h"

#include "platform/TextEncoding.h"

#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view kFileTag = "Curve";
constexpr std::string_view kPvTag = "PV Curve";
constexpr std::string_view kCurrentTag = "Current Curve";
constexpr std::string_view kPercentTag = "Percent Curve";
constexpr std::int32_t kVersion = 1;

// A string's length prefix: one byte below 255, else 0xFF and 16 bits below
// 0xFFFE, else 0xFF, 0xFFFF and 32 bits.
constexpr std::uint8_t kLongLength = 0xFF;
constexpr std::uint16_t kHugeLength = 0xFFFF;
constexpr std::size_t kShortLimit = 0xFF;
constexpr std::size_t kMediumLimit = 0xFFFE;

// Bytes out in little-endian order, handed on in large blocks.
class ByteWriter {
public:
    using Sink = std::function<bool(std::string_view)>;
    static constexpr std::size_t kBlock = 1 << 16;

    explicit ByteWriter(Sink sink) : m_Sink(std::move(sink)) { m_Buffer.reserve(kBlock); }

    void PutBytes(std::string_view bytes) {
        m_Buffer.append(bytes);
        if (m_Buffer.size() >= kBlock) {
            Flush();
        }
    }
    template <typename Unsigned> void PutUnsigned(Unsigned value) {
        std::array<char, sizeof(Unsigned)> bytes{};
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        }
        PutBytes({bytes.data(), bytes.size()});
    }
    void PutInt32(std::int32_t value) { PutUnsigned(static_cast<std::uint32_t>(value)); }
    void PutDouble(double value) { PutUnsigned(std::bit_cast<std::uint64_t>(value)); }
    void PutString(std::string_view utf8) {
        const std::string text = TextEncoding::Utf8ToGbk(utf8);
        if (text.size() < kShortLimit) {
            PutUnsigned(static_cast<std::uint8_t>(text.size()));
        } else if (text.size() < kMediumLimit) {
            PutUnsigned(kLongLength);
            PutUnsigned(static_cast<std::uint16_t>(text.size()));
        } else {
            PutUnsigned(kLongLength);
            PutUnsigned(kHugeLength);
            PutUnsigned(static_cast<std::uint32_t>(text.size()));
        }
        PutBytes(text);
    }
    void PutCurve(const SampleList& samples) {
        PutInt32(static_cast<std::int32_t>(samples.Count()));
        for (std::size_t i = samples.Count(); i-- > 0;) {
            PutDouble(samples.At(i).value);
            PutInt32(samples.At(i).time);
        }
    }
    // Hands on what is buffered; false once the sink has refused anything.
    bool Flush() {
        if (m_bOk && !m_Buffer.empty()) {
            m_bOk = m_Sink(m_Buffer);
        }
        m_Buffer.clear();
        return m_bOk;
    }

private:
    Sink m_Sink;
    std::string m_Buffer;
    bool m_bOk = true;
};

// Bytes in from a source that fills a buffer block by block; nothing is
// allocated for what a file merely claims to hold.
class ByteReader {
public:
    // Fills up to capacity bytes; 0 at the end or on an error.
    using Source = std::function<std::size_t(char* buffer, std::size_t capacity)>;

    explicit ByteReader(Source source) : m_Source(std::move(source)) {}

    bool GetBytes(char* out, std::size_t count) {
        while (count > 0) {
            if (m_nPos == m_nEnd && !Refill()) {
                return false;
            }
            const std::size_t take = std::min(count, m_nEnd - m_nPos);
            std::memcpy(out, m_Buffer.data() + m_nPos, take);
            m_nPos += take;
            out += take;
            count -= take;
        }
        return true;
    }
    template <typename Unsigned> bool GetUnsigned(Unsigned& value) {
        std::array<char, sizeof(Unsigned)> bytes{};
        if (!GetBytes(bytes.data(), bytes.size())) {
            return false;
        }
        value = 0;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            value |= static_cast<Unsigned>(
                static_cast<Unsigned>(static_cast<std::uint8_t>(bytes[i])) << (8 * i));
        }
        return true;
    }
    bool GetInt32(std::int32_t& value) {
        std::uint32_t bits = 0;
        if (!GetUnsigned(bits)) {
            return false;
        }
        value = static_cast<std::int32_t>(bits);
        return true;
    }
    bool GetDouble(double& value) {
        std::uint64_t bits = 0;
        if (!GetUnsigned(bits)) {
            return false;
        }
        value = std::bit_cast<double>(bits);
        return true;
    }
    // A length-prefixed GBK string, returned as UTF-8. The text grows only
    // by what actually arrives, whatever length the prefix claims.
    bool GetString(std::string& utf8) {
        std::uint8_t shortLength = 0;
        if (!GetUnsigned(shortLength)) {
            return false;
        }
        std::uint32_t length = shortLength;
        if (shortLength == kLongLength) {
            std::uint16_t medium = 0;
            if (!GetUnsigned(medium)) {
                return false;
            }
            length = medium;
            if (medium == kHugeLength && !GetUnsigned(length)) {
                return false;
            }
        }
        std::string gbk;
        std::array<char, 4096> chunk{};
        while (length > 0) {
            const std::size_t take = std::min<std::size_t>(length, chunk.size());
            if (!GetBytes(chunk.data(), take)) {
                return false;
            }
            gbk.append(chunk.data(), take);
            length -= static_cast<std::uint32_t>(take);
        }
        utf8 = TextEncoding::GbkToUtf8(gbk);
        return true;
    }
    bool GetTag(std::string_view expected) {
        std::string tag;
        return GetString(tag) && tag == expected;
    }
    // Reads count samples, newest first, into the head of the list.
    bool GetCurve(SampleList& samples) {
        std::int32_t count = 0;
        if (!GetInt32(count)) {
            return false;
        }
        for (std::int32_t i = 0; i < count; ++i) {
            TrendSample sample;
            if (!GetDouble(sample.value) || !GetInt32(sample.time)) {
                return false;
            }
            samples.InsertAtHead(sample);
        }
        return true;
    }

private:
    bool Refill() {
        m_nPos = 0;
        m_nEnd = m_Source(m_Buffer.data(), m_Buffer.size());
        return m_nEnd > 0;
    }

    Source m_Source;
    std::array<char, 1 << 16> m_Buffer{};
    std::size_t m_nPos = 0;
    std::size_t m_nEnd = 0;
};

bool ReadCurves(ByteReader& in, TrendCurves& curves) {
    curves.RemoveAllSamples();
    std::int32_t version = 0;
    if (!in.GetTag(kFileTag) || !in.GetInt32(version) || !in.GetTag(kPvTag)) {
        return false;
    }
    return in.GetDouble(curves.pvLow) && in.GetDouble(curves.pvHigh) &&
           in.GetString(curves.pvUnit) && in.GetCurve(curves.pv) && in.GetTag(kCurrentTag) &&
           in.GetCurve(curves.current) && in.GetTag(kPercentTag) && in.GetCurve(curves.percent);
}

bool WriteCurves(ByteWriter& out, const TrendCurves& curves) {
    out.PutString(kFileTag);
    out.PutInt32(kVersion);
    out.PutString(kPvTag);
    out.PutDouble(curves.pvLow);
    out.PutDouble(curves.pvHigh);
    out.PutString(curves.pvUnit);
    out.PutCurve(curves.pv);
    out.PutString(kCurrentTag);
    out.PutCurve(curves.current);
    out.PutString(kPercentTag);
    out.PutCurve(curves.percent);
    return out.Flush();
}

// A descriptor closed when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_nFd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (m_nFd >= 0) {
            ::close(m_nFd);
        }
    }
    int Get() const { return m_nFd; }
    // Closes now; false (errno set) when the close reports a failed write.
    bool Close() {
        const int fd = m_nFd;
        m_nFd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_nFd;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A name beside target that no file has yet, opened for writing; -1 and
// errno when the folder takes no new file.
int CreateBeside(const std::string& target, std::string& name) {
    static unsigned s_nSerial = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(++s_nSerial);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// Where the bytes go: the file a link points to is replaced, not the link.
std::string ResolvedTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            std::string resolved(real);
            std::free(real);
            return resolved;
        }
    }
    return path;
}

} // namespace

TrendFile::Status TrendFile::Parse(std::string_view bytes, TrendCurves& curves) {
    ByteReader in([&bytes](char* buffer, std::size_t capacity) {
        const std::size_t take = std::min(capacity, bytes.size());
        std::memcpy(buffer, bytes.data(), take);
        bytes.remove_prefix(take);
        return take;
    });
    return ReadCurves(in, curves) ? Status::Ok : Status::FormatError;
}

TrendFile::Outcome TrendFile::Load(const std::string& path, TrendCurves& curves) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return {Status::CannotOpen, errno};
    }
    FileDescriptor file(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return {Status::CannotOpen, S_ISDIR(info.st_mode) ? EISDIR : EINVAL};
    }
    int readError = 0;
    ByteReader in([fd, &readError](char* buffer, std::size_t capacity) -> std::size_t {
        for (;;) {
            const ssize_t got = ::read(fd, buffer, capacity);
            if (got >= 0) {
                return static_cast<std::size_t>(got);
            }
            if (errno != EINTR) {
                readError = errno;
                return 0;
            }
        }
    });
    if (!ReadCurves(in, curves)) {
        return {Status::FormatError, readError};
    }
    return {};
}

std::string TrendFile::Serialize(const TrendCurves& curves) {
    std::string bytes;
    ByteWriter out([&bytes](std::string_view block) {
        bytes.append(block);
        return true;
    });
    WriteCurves(out, curves);
    return bytes;
}

TrendFile::Outcome TrendFile::Save(const std::string& path, const TrendCurves& curves) {
    const std::string target = ResolvedTarget(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && (!S_ISREG(existing.st_mode) || ::access(target.c_str(), W_OK) != 0)) {
        return {Status::CannotCreate, S_ISREG(existing.st_mode) ? errno : EISDIR};
    }
    std::string temporary;
    const int fd = CreateBeside(target, temporary);
    if (fd < 0) {
        return {Status::CannotCreate, errno};
    }
    FileDescriptor file(fd);
    int error = 0;
    const auto fail = [&temporary, &error](Status status) {
        ::unlink(temporary.c_str());
        return Outcome{status, error};
    };
    if (exists) {
        ::fchmod(fd, existing.st_mode & 07777); // the replacement keeps the old file's rights
    }
    ByteWriter out([fd, &error](std::string_view block) {
        if (WriteAll(fd, block)) {
            return true;
        }
        error = errno;
        return false;
    });
    if (!WriteCurves(out, curves)) {
        return fail(Status::WriteError);
    }
    // Some file systems report a full disk only when the data reaches it.
    if (::fsync(fd) != 0 || !file.Close()) {
        error = errno;
        return fail(Status::WriteError);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
        return fail(Status::WriteError);
    }
    return {};
}

std::string TrendFile::FailureMessage(const Outcome& outcome, const std::string& path,
                                      TextLookup lookup) {
    std::string message;
    switch (outcome.status) {
    case Status::Ok:
        return message;
    case Status::CannotOpen:
        message = path + " can't Open!";
        break;
    case Status::CannotCreate:
        message = path + " can't create!";
        break;
    case Status::FormatError:
    case Status::WriteError:
        message = lookup("strFileError");
        break;
    }
    if (outcome.osError != 0) {
        message += "\n";
        message += std::strerror(outcome.osError);
    }
    return message;
}
