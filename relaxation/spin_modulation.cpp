#include "relaxation/spin_modulation.h"

#include <cmath>
#include <stdexcept>

#include "core/text/c_format.h"
#include "core/text/messages.h"

void check_modulation_parameter(double m)
{
    if (std::fabs(m) > 1.0)
        throw std::domain_error(MessageText(50260, (c_format(L"%g") % m).str()).to_utf8());
}
