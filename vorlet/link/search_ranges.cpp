// Search range rules.
#include "vorlet/link/search_ranges.h"

#include <algorithm>
#include <functional>

namespace vorlet {

std::uint64_t rangeSize(std::uint32_t start, std::uint32_t end)
{
    return end < start ? 0 : std::uint64_t(end) - start + 1;
}

SearchRanges::AddResult SearchRanges::add(std::uint32_t start, std::uint32_t end)
{
    if (start == 0 || end == 0) return AddResult::ZeroAddress;
    if (end < start) return AddResult::Overlaps;
    for (const SearchRange &r : m_ranges) {
        const auto inside = [&r](std::uint32_t a) { return a >= r.start && a <= r.end; };
        if (inside(start) || inside(end)) return AddResult::Overlaps;
    }
    if (m_ranges.size() >= kCapacity) return AddResult::Full;
    m_ranges.push_back({start, end});
    return AddResult::Added;
}

bool SearchRanges::modify(std::size_t index, std::uint32_t start, std::uint32_t end)
{
    if (start == 0 || end == 0 || index >= m_ranges.size()) return false;
    m_ranges[index] = {start, end};
    return true;
}

void SearchRanges::remove(std::vector<std::size_t> indexes)
{
    std::sort(indexes.begin(), indexes.end(), std::greater<>());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    for (std::size_t i : indexes)
        if (i < m_ranges.size()) m_ranges.erase(m_ranges.begin() + std::ptrdiff_t(i));
}

void SearchRanges::assign(std::vector<SearchRange> ranges)
{
    if (ranges.size() > kCapacity) ranges.resize(kCapacity);
    m_ranges = std::move(ranges);
}

std::uint64_t SearchRanges::totalAddresses() const
{
    std::uint64_t total = 0;
    for (const SearchRange &r : m_ranges) total += rangeSize(r.start, r.end);
    return total;
}

} // namespace vorlet
