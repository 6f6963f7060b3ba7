// The real program with one hard board dealt on every start, for the start-up checks that ask for
// a hint: a well-known random instance of 56 slides (the solver with its tables finds it in about
// 11,000 nodes, the weaker bound alone needs 4.6 million), reached by this gap walk from the
// solved board. The walk is the reverse of the solver's solution; the draws after it lead the
// gap off the board (it ends at the right edge, second row) and so change nothing.
#include "App.h"

#include <string_view>

namespace {

// Gap steps: 0 right, 1 left, 2 up, 3 down (as the shuffle draws them).
constexpr std::string_view kWalk = "00031213033122120033021330213122203113302021312030221300";

class HardDeal final : public board::RandomSource {
public:
    void reseed() override { m_draw = 0; }
    double next() override
    {
        const int step = m_draw < kWalk.size() ? kWalk[m_draw] - '0' : 0;
        ++m_draw;
        return (step + 0.5) / 4.0;
    }

private:
    std::size_t m_draw = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    HardDeal random;
    return runTavorin(argc, argv, random);
}
