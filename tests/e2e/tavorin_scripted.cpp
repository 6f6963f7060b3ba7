// The real program with a repeatable shuffle, for end-to-end checks that must solve the board:
// every start deals the board one slide from solved (tile "2" left of the gap at the top).
#include "App.h"

namespace {

class OneSlideFromSolved final : public board::RandomSource {
public:
    void reseed() override { m_draw = 0; }
    double next() override { return m_draw++ == 0 ? 0.0 : 0.5; }   // right once, then "up" off the board

private:
    int m_draw = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    OneSlideFromSolved random;
    return runTavorin(argc, argv, random);
}
