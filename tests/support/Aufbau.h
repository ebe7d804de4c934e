#pragma once
// A window as designed, one line per control: name(index), place, size, shown or not, and its
// kind's look (caption, font, colours, timer interval), after a line for the window itself.
#include <string>

#include "forms/Form.h"

std::string aufbau(const forms::Form& form);
