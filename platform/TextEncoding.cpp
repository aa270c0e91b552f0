#include "platform/TextEncoding.h"

#include <cerrno>
#include <iconv.h>
#include <memory>

namespace {

constexpr std::string_view ReplacementUtf8 = "\xEF\xBF\xBD"; // U+FFFD
constexpr char ReplacementGbk = '?';

unsigned char Byte(std::string_view text, std::size_t pos) {
    return static_cast<unsigned char>(text[pos]);
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

bool IsGbkLead(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

bool IsGbkTrail(unsigned char byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFE);
}

struct IconvCloser {
    void operator()(void* handle) const { iconv_close(static_cast<iconv_t>(handle)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle OpenConverter(const char* to, const char* from) {
    iconv_t handle = iconv_open(to, from);
    if (handle == reinterpret_cast<iconv_t>(-1)) {
        return IconvHandle();
    }
    return IconvHandle(handle);
}

// A converter carries shift state, so each thread keeps its own pair; opening
// one per call would cost more than most of the strings we convert.
iconv_t GbkToUtf8Converter() {
    thread_local IconvHandle handle = OpenConverter("UTF-8", "CP936");
    return static_cast<iconv_t>(handle.get());
}

iconv_t Utf8ToGbkConverter() {
    thread_local IconvHandle handle = OpenConverter("CP936", "UTF-8");
    return static_cast<iconv_t>(handle.get());
}

// Runs iconv over the whole input. Where it stops on a sequence it cannot
// convert, badLength(rest) tells how many bytes to drop and replacement is
// written in their place.
template <typename BadLength>
std::string Convert(iconv_t converter, std::string_view input, std::string_view replacement,
                    BadLength badLength) {
    std::string output;
    output.reserve(input.size() + input.size() / 2);
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    // iconv takes char** for its input but never writes through it.
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char chunk[1024];
    while (inLeft > 0) {
        char* out = chunk;
        std::size_t outLeft = sizeof chunk;
        const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        const int error = errno;
        output.append(chunk, static_cast<std::size_t>(out - chunk));
        if (result != static_cast<std::size_t>(-1) || error == E2BIG) {
            continue;
        }
        // EILSEQ, or EINVAL for a sequence cut short by the end of the input.
        std::size_t skip = badLength(std::string_view(in, inLeft));
        if (skip == 0 || skip > inLeft) {
            skip = 1;
        }
        in += skip;
        inLeft -= skip;
        output.append(replacement);
    }
    return output;
}

std::size_t GbkCharacterLength(std::string_view text) {
    return TextEncoding::IsGbkPair(text, 0) && IsGbkTrail(Byte(text, 1)) ? 2 : 1;
}

std::size_t Utf8CharacterLength(std::string_view text) {
    const std::size_t length = TextEncoding::Utf8SequenceLength(text, 0);
    return length == 0 ? 1 : length;
}

} // namespace

std::size_t TextEncoding::Utf8SequenceLength(std::string_view text, std::size_t pos) {
    if (pos >= text.size()) {
        return 0;
    }
    const unsigned char lead = Byte(text, pos);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) {
            secondLow = 0xA0; // overlong below U+0800
        } else if (lead == 0xED) {
            secondHigh = 0x9F; // surrogates
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) {
            secondLow = 0x90; // overlong below U+10000
        } else if (lead == 0xF4) {
            secondHigh = 0x8F; // above U+10FFFF
        }
    } else {
        return 0;
    }
    if (text.size() - pos < length) {
        return 0;
    }
    const unsigned char second = Byte(text, pos + 1);
    if (second < secondLow || second > secondHigh) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (!IsContinuation(Byte(text, pos + i))) {
            return 0;
        }
    }
    return length;
}

bool TextEncoding::IsValidUtf8(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (Byte(text, pos) < 0x80) {
            ++pos;
            continue;
        }
        const std::size_t length = Utf8SequenceLength(text, pos);
        if (length == 0) {
            return false;
        }
        pos += length;
    }
    return true;
}

bool TextEncoding::IsGbkPair(std::string_view text, std::size_t pos) {
    return pos + 1 < text.size() && IsGbkLead(Byte(text, pos));
}

std::string TextEncoding::GbkToUtf8(std::string_view gbk) {
    if (iconv_t converter = GbkToUtf8Converter()) {
        return Convert(converter, gbk, ReplacementUtf8, GbkCharacterLength);
    }
    // No CP936 converter installed: keep ASCII, replace every other character.
    std::string output;
    for (std::size_t pos = 0; pos < gbk.size();) {
        if (Byte(gbk, pos) < 0x80) {
            output += gbk[pos++];
        } else {
            pos += GbkCharacterLength(gbk.substr(pos));
            output.append(ReplacementUtf8);
        }
    }
    return output;
}

std::string TextEncoding::Utf8ToGbk(std::string_view utf8) {
    if (iconv_t converter = Utf8ToGbkConverter()) {
        return Convert(converter, utf8, std::string_view(&ReplacementGbk, 1), Utf8CharacterLength);
    }
    std::string output;
    for (std::size_t pos = 0; pos < utf8.size();) {
        if (Byte(utf8, pos) < 0x80) {
            output += utf8[pos++];
        } else {
            pos += Utf8CharacterLength(utf8.substr(pos));
            output += ReplacementGbk;
        }
    }
    return output;
}

std::string_view TextEncoding::CutUtf8(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    // Step back to the lead byte of the character that straddles the cut, but
    // only when that character really reaches past it: stray continuation
    // bytes are characters of their own.
    for (std::size_t back = 0; back < 4 && back <= maxBytes; ++back) {
        const std::size_t start = maxBytes - back;
        const unsigned char byte = Byte(text, start);
        if (!IsContinuation(byte)) {
            const std::size_t length = Utf8SequenceLength(text, start);
            return text.substr(0, length > back ? start : maxBytes);
        }
    }
    return text.substr(0, maxBytes);
}

std::string_view TextEncoding::CutGbk(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t length = IsGbkPair(text, pos) ? 2 : 1;
        if (pos + length > maxBytes) {
            break;
        }
        pos += length;
    }
    return text.substr(0, pos);
}
