#pragma once

// Fixed-size tables whose every access checks the index against the declared
// bounds, as the store's tables require. A bad index raises a RuntimeFault.

#include <array>
#include <cstddef>
#include <span>
#include <vector>

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
    // All the elements, element i at position i (for tables from 0), for
    // code that checks its indices against the span's size.
    std::span<T> entries()
    {
        static_assert(Lo == 0);
        return data_;
    }

private:
    static std::size_t offset(long i)
    {
        if (i < Lo || i > Hi) [[unlikely]]
            raiseFault(FaultKind::IndexOutOfRange);
        return static_cast<std::size_t>(i - Lo);
    }
    std::array<T, static_cast<std::size_t>(Hi - Lo + 1)> data_{};
};

// A two-index table of doubles whose indices are checked against rows
// 0..lastRow and columns 0..lastCol, of which only columns 0..lastStoredCol
// can ever be written (the run curves: runs 0..3 by steps 0..1 000 000, filled
// from the step tables, whose last step is 10 000). Only those are stored,
// zeroed at creation; a column past them reads as the zero it has always
// held.
class CheckedTable {
public:
    CheckedTable(long lastRow, long lastCol, long lastStoredCol)
        : rows_(lastRow + 1), cols_(lastCol + 1), storedCols_(lastStoredCol + 1),
          data_(static_cast<std::size_t>(rows_ * storedCols_))
    {
    }

    double at(long row, long col) const
    {
        check(row, col);
        return col < storedCols_ ? data_[stored(row, col)] : 0.0;
    }
    // A column past the stored ones is a valid index that no step table can
    // reach; a write there is refused as out of range rather than lost.
    void set(long row, long col, double value)
    {
        check(row, col);
        if (col >= storedCols_) [[unlikely]]
            raiseFault(FaultKind::IndexOutOfRange);
        data_[stored(row, col)] = value;
    }
    long lastRow() const { return rows_ - 1; }
    long lastCol() const { return cols_ - 1; }

private:
    void check(long row, long col) const
    {
        if (row < 0 || row >= rows_ || col < 0 || col >= cols_) [[unlikely]]
            raiseFault(FaultKind::IndexOutOfRange);
    }
    std::size_t stored(long row, long col) const { return static_cast<std::size_t>(row * storedCols_ + col); }
    long rows_;
    long cols_;
    long storedCols_;
    std::vector<double> data_;
};

}  // namespace calvetra
