// The catalogue and the component-line reader as the velocity calibration uses them.
#pragma once

#include "core/calibration/calibration_catalogue.h"

// The program's: the process-wide catalogue, and parameter texts read as the parameter
// part of a component line (links ignored).
const ICalibrationCatalogue& calibration_catalogue();
