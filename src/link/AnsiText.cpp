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

    // Converts all of `in`; each input sequence iconv cannot take is skipped
    // (`skip` bytes at a time) and `replacement` is written in its place.
    std::string run(std::string_view in, std::string_view replacement, std::size_t (*skip)(std::string_view))
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
            out += replacement;
            at += skip(in.substr(at));
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

std::size_t oneByte(std::string_view)
{
    return 1;
}

}  // namespace

std::string toAnsi(std::string_view utf8)
{
    Converter c("WINDOWS-1252", "UTF-8");
    return c.run(utf8, "?", utf8SequenceLength);
}

std::string fromAnsi(std::string_view ansi)
{
    Converter c("UTF-8", "WINDOWS-1252");
    return c.run(ansi, "\xEF\xBF\xBD", oneByte);
}

}  // namespace dz
