#include "core/document/vector_edits.h"

#include <algorithm>
#include <new>
#include <stdexcept>

#include "core/text/messages.h"

namespace {

void check_delete(std::size_t size, std::size_t position, std::size_t count)
{
    if (position > size || count > size - position)
        throw std::out_of_range("index out of range in delete_elements");
}

void check_insert(std::size_t size, std::size_t position)
{
    if (position > size)
        throw std::out_of_range("index out of range in insert_elements");
}

}  // namespace

void delete_elements(DVector& v, std::size_t position, std::size_t count)
{
    check_delete(v.size(), position, count);
    std::vector<double>& data = v.data();
    data.erase(data.begin() + position, data.begin() + position + count);
    v.resize(data.size(), true);
}

void delete_elements(std::vector<int>& v, std::size_t position, std::size_t count)
{
    check_delete(v.size(), position, count);
    v.erase(v.begin() + position, v.begin() + position + count);
}

void insert_elements(DVector& v, std::size_t position, std::size_t count)
{
    check_insert(v.size(), position);
    std::vector<double>& data = v.data();
    data.insert(data.begin() + position, count, 0.0);
    v.resize(data.size(), true);
}

void insert_elements(std::vector<int>& v, std::size_t position, std::size_t count)
{
    check_insert(v.size(), position);
    v.insert(v.begin() + position, count, 0);
}

DMatrix zero_covariance(std::size_t n)
{
    // Two 10000-point distributions ask for 3.2 GB: more than a 32-bit program can have.
    try {
        return DMatrix(n, n, 0.0);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    throw std::runtime_error(MessageText(50231, static_cast<unsigned>(n)).to_utf8());
}

DMatrix without_rows_and_columns(const DMatrix& m, std::size_t position, std::size_t count)
{
    const std::size_t n = std::min(m.size1(), m.size2());
    check_delete(n, position, count);
    DMatrix out(n - count, n - count);
    auto old_index = [&](std::size_t i) { return i < position ? i : i + count; };
    for (std::size_t i = 0; i < out.size1(); ++i)
        for (std::size_t j = 0; j < out.size2(); ++j)
            out(i, j) = m(old_index(i), old_index(j));
    return out;
}
