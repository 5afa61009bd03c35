// Opening and closing a slice of a per-parameter vector when a component or a
// distribution's points come or go. Both check the position first and change nothing
// when it is bad.
#pragma once

#include <cstddef>
#include <vector>

#include "core/numerics/ublas_types.h"

// Removes `count` elements from `position` on, moving the later ones down.
// std::out_of_range "index out of range in delete_elements" when position + count
// exceeds the size.
void delete_elements(DVector& v, std::size_t position, std::size_t count);
void delete_elements(std::vector<int>& v, std::size_t position, std::size_t count);
// Opens `count` elements (value 0) at `position`, moving the later ones up; the
// caller writes them. std::out_of_range when position exceeds the size.
void insert_elements(DVector& v, std::size_t position, std::size_t count);
void insert_elements(std::vector<int>& v, std::size_t position, std::size_t count);

// The n × n covariance of zeros; std::runtime_error (message 50231) when it does not fit
// into memory.
DMatrix zero_covariance(std::size_t n);

// The covariance matrix without rows and columns [position, position + count), the
// others kept where they belong.
DMatrix without_rows_and_columns(const DMatrix& m, std::size_t position, std::size_t count);
