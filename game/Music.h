// The music: the game's piece while a game runs, the fanfare when a picture is whole.
//
// Both pieces are opened once, at start-up, under their aliases and are then played, stopped and
// closed by those names through the media command interface; nothing else in the game sends media
// commands. The game's piece plays again from its beginning whenever it has ended while a game
// runs: the watch, ticked by the window's timer `timSound`, asks for its state. Results of the
// commands are never examined, so a missing piece or synthesizer leaves the game silent, not broken.
#pragma once

class WindowTimer;

class Music {
public:
    // `timSound` is the window's timer whose ticks call watch(); it must outlive the room.
    explicit Music(WindowTimer& timSound);

    void open();            // opens the fanfare and the game's piece
    void playGamePiece();   // silences everything, plays the game's piece from its beginning and watches it
    void playFanfare();     // silences everything and plays the fanfare once; the watch lets go
    void stop();            // silences everything and stops the watch
    void close();           // silences and closes everything: the program ends

    // A tick of `timSound`: once the game's piece has stopped, plays it again while a game runs,
    // else switches the watch off.
    void watch();

    bool musicOn = false;   // a game runs: its piece is to play on

private:
    WindowTimer& m_timSound;
};
