// A working copy of a component's subspectrum: edited while the original stays as it
// was, so that an edit can become an undo step or be dropped.
#pragma once

#include "subspec/subspec.h"

// A new object of the same type with the same model data and, for a distribution, the
// same points, deviations, marks and abscissa. std::runtime_error when the model data
// does not carry over.
SubSpecPtr copy_component_subspec(const ISubSpec& subspec);
