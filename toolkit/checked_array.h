#pragma once

// Fixed-size tables whose every access checks the index against the declared
// bounds, as the store's tables require. A bad index raises a RuntimeFault.

#include <array>
#include <cstddef>
#include <cstdlib>
#include <memory>

#include "toolkit/fault.h"

namespace calvetra {

// Elements Lo..Hi inclusive, held inline (small tables: the per-run fields
// and the step tables).
template <class T, long Lo, long Hi> class CheckedArray {
public:
    static constexpr long first = Lo;
    static constexpr long last = Hi;

    T& operator[](long i) { return data_[offset(i)]; }
    const T& operator[](long i) const { return data_[offset(i)]; }

private:
    static std::size_t offset(long i)
    {
        if (i < Lo || i > Hi) [[unlikely]]
            raiseFault(FaultKind::IndexOutOfRange);
        return static_cast<std::size_t>(i - Lo);
    }
    std::array<T, static_cast<std::size_t>(Hi - Lo + 1)> data_{};
};

// A two-index table of doubles, rows 0..Rows-1 by columns 0..Cols-1, zeroed
// at creation. It is large (the run curves: 4 x 1 000 001 doubles), so it is
// taken from calloc: pages nobody writes to are never made resident.
class CheckedTable {
public:
    CheckedTable(long lastRow, long lastCol)
        : rows_(lastRow + 1), cols_(lastCol + 1),
          data_(static_cast<double*>(std::calloc(static_cast<std::size_t>(rows_ * cols_), sizeof(double))))
    {
        if (!data_)
            throw std::bad_alloc();
    }

    double& at(long row, long col) { return data_[offset(row, col)]; }
    double at(long row, long col) const { return data_[offset(row, col)]; }
    long lastRow() const { return rows_ - 1; }
    long lastCol() const { return cols_ - 1; }

private:
    std::size_t offset(long row, long col) const
    {
        if (row < 0 || row >= rows_ || col < 0 || col >= cols_) [[unlikely]]
            raiseFault(FaultKind::IndexOutOfRange);
        return static_cast<std::size_t>(row * cols_ + col);
    }
    struct Free {
        void operator()(double* p) const { std::free(p); }
    };
    long rows_;
    long cols_;
    std::unique_ptr<double[], Free> data_;
};

}  // namespace calvetra
