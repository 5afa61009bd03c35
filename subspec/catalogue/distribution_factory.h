// The one place where the catalogue makes a distribution component.
#pragma once

#include "subspec/subspec.h"

// A new distribution (count 1) over `inner`, which it keeps its own reference to.
SubSpecPtr make_distribution(SubSpecPtr inner);
