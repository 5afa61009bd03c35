#include "core/text/errors.h"

#include <atomic>
#include <locale>

#include <boost/format.hpp>

namespace {

std::string no_system_message(int) { return {}; }

std::atomic<SystemMessageSource> system_message_source{&no_system_message};

} // namespace

void set_system_message_source(SystemMessageSource source)
{
    system_message_source.store(source ? source : &no_system_message);
}

win32_error::win32_error(std::string_view prefix, int code)
    : std::runtime_error(format_message(prefix, code, "%08x")), code_(code)
{
}

std::string win32_error::format_message(std::string_view prefix, int code, std::string_view code_format)
{
    boost::format number(std::string(code_format), std::locale::classic());
    number.exceptions(boost::io::no_error_bits);
    return std::string(prefix) + ": " + system_message_source.load()(code) + "(" +
           (number % static_cast<unsigned>(code)).str() + ")";
}
