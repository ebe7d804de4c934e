#pragma once
// Numbers kept in captions and Tags are plain decimal text.
#include <string>

namespace game {

// The plain decimal text of a whole number ("-" for negatives, no blanks).
std::string zahltext(double wert);
// The number in a caption or Tag; text that is no number is a run-time error.
double zahlwert(const std::string& text);

}  // namespace game
