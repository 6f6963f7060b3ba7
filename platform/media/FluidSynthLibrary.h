// FluidSynth, opened at run time rather than linked.
//
// Linked, the synthesizer library and the forty-odd libraries it brings (audio servers, sample
// file formats, SDL, Wayland, ...) would be loaded and relocated by every start, before the first
// window, for music that plays only once a game starts. Instead the playback thread opens it at
// the first play, together with the SoundFont.
//
// Contract
//   fluid() opens the library by its run-time name (TAVORIN_FLUIDSYNTH_SONAME, the name the
//   development package's library carries) and looks up every function below, once per process,
//   whichever thread asks first; later calls return the same answer at once. It returns null when
//   the library cannot be opened or lacks any of the functions: the caller then makes no sound and
//   reports no failure. The library stays loaded until the process ends. Each member has the type
//   of the function of the same name in <fluidsynth.h>, so calls are checked as if linked.
//   alsaErrorHandlerSetter is ALSA's snd_lib_error_set_handler as found through the library's
//   own dependencies, or null (then ALSA's messages are left as they are).
//   fluidLoaded() says whether the library has been opened in this process, without opening it.
#pragma once

#include <cstdarg>   // before ALSA's error.h, which uses va_list
#include <alsa/error.h>
#include <fluidsynth.h>

namespace media {

#define TAVORIN_FLUID_FUNCTIONS(F)                                                                  \
    F(fluid_set_log_function)                                                                      \
    F(new_fluid_settings) F(delete_fluid_settings) F(fluid_settings_setnum) F(fluid_settings_setint) \
    F(fluid_settings_setstr) F(fluid_settings_getstr_default)                                      \
    F(new_fluid_synth) F(delete_fluid_synth) F(fluid_synth_set_polyphony) F(fluid_synth_sfload)    \
    F(fluid_synth_write_float) F(fluid_synth_count_midi_channels) F(fluid_synth_cc)                \
    F(fluid_synth_all_notes_off) F(fluid_synth_all_sounds_off) F(fluid_synth_get_active_voice_count) \
    F(fluid_synth_noteon) F(fluid_synth_noteoff) F(fluid_synth_key_pressure)                       \
    F(fluid_synth_program_change) F(fluid_synth_channel_pressure) F(fluid_synth_pitch_bend)        \
    F(fluid_synth_sysex) F(fluid_synth_system_reset)                                               \
    F(new_fluid_audio_driver2) F(delete_fluid_audio_driver)

struct FluidSynth {
#define TAVORIN_FLUID_MEMBER(name) decltype(&::name) name = nullptr;
    TAVORIN_FLUID_FUNCTIONS(TAVORIN_FLUID_MEMBER)
#undef TAVORIN_FLUID_MEMBER
    decltype(&::snd_lib_error_set_handler) alsaErrorHandlerSetter = nullptr;
};

const FluidSynth* fluid();
bool fluidLoaded();

}  // namespace media
