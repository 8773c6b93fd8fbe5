#pragma once
// Where the next piece of a bounded ring goes. Pieces are taken one after
// another and given back in the order taken, so what is in flight is one
// stretch of the ring ending where the next piece would start; a piece that
// would not fit before the ring's end starts again at 0, the bytes skipped
// there counted with it until it is given back.

#include <cstddef>

class CPieceRing {
public:
    CPieceRing(std::size_t capacity, std::size_t piece) : m_capacity(capacity), m_piece(piece) {}

    // Whether a whole piece fits now; if so, Place says where it starts.
    bool Fits();
    std::size_t Place() const { return m_at; }
    // The piece placed last is taken with size bytes of it used; returns
    // the bytes to give back once it is done with.
    std::size_t Take(std::size_t size);
    void GiveBack(std::size_t span) { m_inFlight -= span; }
    std::size_t InFlight() const { return m_inFlight; }
    std::size_t Capacity() const { return m_capacity; }

private:
    std::size_t m_capacity, m_piece;
    std::size_t m_head = 0, m_at = 0, m_skipped = 0;
    std::size_t m_inFlight = 0;
};
