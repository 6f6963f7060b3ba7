// A library under FluidSynth's run-time name that has none of its functions: what the program
// meets when another build, or a broken file, answers to that name.
extern "C" int tavorin_not_fluidsynth()
{
    return 0;
}
