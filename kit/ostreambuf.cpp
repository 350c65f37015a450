#include <kit/ostreambuf.h>

namespace kit {

ostreambuf::ostreambuf(std::vector<uint8_t>& target)
    : std::basic_stringbuf<char>(std::ios::out)
{
    char* const begin = reinterpret_cast<char*>(target.data());
    setp(begin, begin + target.size());
}

ostreambuf::~ostreambuf() = default;

ostreambuf::int_type ostreambuf::overflow(int_type ch)
{
    if (traits_type::eq_int_type(ch, traits_type::eof())) {
        return traits_type::not_eof(ch);
    }
    // The put area is the whole vector; the base class would switch to a
    // growing string of its own here, silently dropping data from the
    // caller's point of view.
    return traits_type::eof();
}

} // namespace kit
