// Tavorin's entry point: the shuffle's random source reseeded from the clock.
#include "App.h"

int main(int argc, char** argv)
{
    board::ClockSeededRandom random;
    return runTavorin(argc, argv, random);
}
