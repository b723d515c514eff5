// The address ranges of the cross-router search and the range editor's rules.
#pragma once

#include <cstdint>
#include <vector>

namespace vorlet {

struct SearchRange {
    std::uint32_t start = 0; // most significant octet first: 0xC0A80101 is 192.168.1.1
    std::uint32_t end = 0;
    friend bool operator==(const SearchRange &, const SearchRange &) = default;
};

// end - start + 1, or 0 when the end lies below the start.
std::uint64_t rangeSize(std::uint32_t start, std::uint32_t end);

class SearchRanges
{
public:
    static constexpr std::size_t kCapacity = 255;

    enum class AddResult { Added, ZeroAddress, Overlaps, Full };
    // Both addresses must be non-zero; a range with its end below its start,
    // or whose start or end lies inside an existing range, overlaps.
    AddResult add(std::uint32_t start, std::uint32_t end);
    // Replaces range i (no overlap check); false for a zero address or a
    // missing index.
    bool modify(std::size_t index, std::uint32_t start, std::uint32_t end);
    // Removes the given indexes, from the highest down.
    void remove(std::vector<std::size_t> indexes);

    const std::vector<SearchRange> &ranges() const { return m_ranges; }
    std::size_t count() const { return m_ranges.size(); }
    void assign(std::vector<SearchRange> ranges);
    void clear() { m_ranges.clear(); }
    // Sum of the sizes of all ranges.
    std::uint64_t totalAddresses() const;

private:
    std::vector<SearchRange> m_ranges;
};

} // namespace vorlet
