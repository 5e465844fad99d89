#include "link/AnsiText.h"

#include <iconv.h>
#include <cerrno>

namespace dz {

namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(::iconv_open(to, from)) {}
    ~Converter()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) {
            ::iconv_close(m_cd);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts all of `in`; `stuck` is handed each input sequence iconv cannot take,
    // writes what stands for it and returns how many bytes it took.
    std::string run(std::string_view in, std::size_t (*stuck)(std::string_view rest, std::string& out))
    {
        std::string out;
        if (m_cd == reinterpret_cast<iconv_t>(-1)) {
            return out;
        }
        ::iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char buffer[256];
        std::size_t at = 0;
        while (at < in.size()) {
            char* src = const_cast<char*>(in.data() + at);
            std::size_t srcLeft = in.size() - at;
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t r = ::iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            const int error = errno;
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            at = static_cast<std::size_t>(src - in.data());
            if (r != static_cast<std::size_t>(-1)) {
                break;
            }
            if (error == E2BIG) {
                continue;
            }
            // EILSEQ or EINVAL: a sequence the target cannot hold, or a cut one.
            at += stuck(in.substr(at), out);
            ::iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t m_cd;
};

std::size_t utf8SequenceLength(std::string_view s)
{
    const auto lead = static_cast<unsigned char>(s[0]);
    std::size_t n = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 1;
    std::size_t i = 1;
    while (i < n && i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) {
        ++i;
    }
    return i;
}

// The five bytes Windows-1252 leaves undefined; Windows maps them to the C1
// controls of the same value, so a name holding one comes back unchanged.
bool undefinedInCodePage(unsigned char byte)
{
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

std::size_t toAnsiStuck(std::string_view rest, std::string& out)
{
    const std::size_t n = utf8SequenceLength(rest);
    const auto lead = static_cast<unsigned char>(rest[0]);
    const auto next = n == 2 ? static_cast<unsigned char>(rest[1]) : 0;
    if (lead == 0xC2 && undefinedInCodePage(next)) {
        out += static_cast<char>(next);
    } else {
        out += '?';
    }
    return n;
}

std::size_t fromAnsiStuck(std::string_view rest, std::string& out)
{
    const auto byte = static_cast<unsigned char>(rest[0]);
    if (undefinedInCodePage(byte)) {
        out += static_cast<char>(0xC2);
        out += static_cast<char>(byte);
    } else {
        out += "\xEF\xBF\xBD";
    }
    return 1;
}

}  // namespace

std::string toAnsi(std::string_view utf8)
{
    Converter c("WINDOWS-1252", "UTF-8");
    return c.run(utf8, toAnsiStuck);
}

std::string fromAnsi(std::string_view ansi)
{
    Converter c("UTF-8", "WINDOWS-1252");
    return c.run(ansi, fromAnsiStuck);
}

}  // namespace dz
