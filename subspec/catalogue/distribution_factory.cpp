#include "subspec/catalogue/distribution_factory.h"

#include <stdexcept>
#include <string>

#include "core/text/text.h"

// The distribution component is not part of the program yet. When it is, this function
// constructs it over `inner`; until then every "[D] " name reports that distributions
// are not available.
SubSpecPtr make_distribution(SubSpecPtr inner)
{
    throw std::runtime_error("Distribution of " + wide_to_utf8(inner->display_name()) +
                             ": distributions are not available yet");
}
