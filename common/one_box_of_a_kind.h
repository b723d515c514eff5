// Message boxes that the network opens: at most one of a kind at a time, and
// a repeat that arrives while that box is open is dropped.
#pragma once

#include <set>

namespace kyvo {

template <typename Kind> class OneBoxOfAKind
{
public:
    // True when a box of this kind may open now; it then counts as open
    // until closed(kind).
    bool admit(const Kind &kind) { return m_open.insert(kind).second; }
    void closed(const Kind &kind) { m_open.erase(kind); }
    bool isOpen(const Kind &kind) const { return m_open.count(kind) != 0; }

private:
    std::set<Kind> m_open;
};

} // namespace kyvo
