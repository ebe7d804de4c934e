#pragma once
// A whole game written down as a player could follow it, one line per change: the game time in ms,
// then "Name(Index) left,top" and the control as support/Aufbau.h shows it, with its picture and
// Tag; "Name(Index) gone"; "Form1" with the game's numbers; message boxes; the records of data.hsc.
// The game is looked at every 10 ms (the sliding numbers' step); places that changed are written
// every half second and after each step of the script ("@ ..."): an enemy moves every 40 to 90 ms,
// and all its steps would make megabytes.
#include <map>
#include <string>
#include <vector>

#include "GameHarness.h"

class GameTrace {
public:
    explicit GameTrace(GameHarness& h) : h_(h) {}
    // Starts the program and plays the words of `script`: a number plays on for that many ms;
    // "<", ">", "start", "restart" click those buttons; "+l"/"-l" press/release an arrow key (l, u,
    // r, d), Escape (e) or Shift (s); "item K T" sends an item of kind draw K (1..12) at the height
    // T; "resize W H" and "close" act on the window; "over" plays on until the highscore table
    // shows, then 3 s more.
    std::string play(const std::string& script);

private:
    void playUntil(int64_t ms);
    void look();
    void writePlaces();
    void write(const std::string& line);

    GameHarness& h_;
    std::string text_, hsc_;
    std::map<std::string, std::string> state_, writtenPlace_;
    std::vector<std::pair<std::string, std::string>> places_;  // in the window's control order
    size_t boxes_ = 0;
};
