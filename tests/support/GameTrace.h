#pragma once
// A whole game written down as a player could follow it: one line whenever the state of the game
// or of a control changes (looked at every 10 ms of game time, the step of the sliding numbers),
// the places of the controls that moved every half second (an enemy steps every 40 to 90 ms, so
// every step would make megabytes), and the bytes of data.hsc whenever they change.
//
// A line: game time in ms, then "Name(Index) left,top" and the control as tests/support/Aufbau.h
// writes it, plus its picture and Tag; "Name(Index) gone"; "@ Name(Index) left,top ..." for the
// places (also after every step of the script); "> word" for a step of the script.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "GameHarness.h"

class GameTrace {
public:
    explicit GameTrace(GameHarness& h) : h_(h) {}
    // Starts the program and plays `script`, words apart by blanks: a number plays on for that many
    // ms; "<", ">", "start", "restart" click those buttons; "+l" and "-l" press and release
    // an arrow key (l, u, r, d) or Escape (e); "item K T" sends a power-up item whose kind draw is K
    // (1..12) at the height T; "over" plays on until the highscore table shows, then 3 s more.
    std::string play(const std::string& script);

private:
    void playUntil(int64_t ms);
    void look();
    void writePlaces();
    void write(const std::string& line);

    GameHarness& h_;
    std::string text_;
    std::map<std::string, std::string> state_, writtenPlace_;
    std::vector<std::pair<std::string, std::string>> places_;  // in the window's control order
    std::string hsc_;
    size_t boxes_ = 0;
};
