#include "install/PieceRing.h"

bool CPieceRing::Fits()
{
    if (m_inFlight == 0)
        m_head = 0;
    m_at = m_head;
    m_skipped = 0;
    if (m_capacity - m_head < m_piece) {
        m_skipped = m_capacity - m_head;
        m_at = 0;
    }
    return m_inFlight + m_skipped + m_piece <= m_capacity;
}

std::size_t CPieceRing::Take(std::size_t size)
{
    const std::size_t span = m_skipped + size;
    m_head = m_at + size;
    m_skipped = 0;
    m_inFlight += span;
    return span;
}
