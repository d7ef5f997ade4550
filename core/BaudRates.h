// Line speeds: the ones offered for a receiver and the termios codes of every standard rate.
#pragma once

#include <termios.h>
#include <vector>

// The rates the baud list offers, slowest first, as it shows them.
const std::vector<const char*>& OfferedBaudTexts();
// The termios code of a standard rate; false for any other rate.
bool SpeedFromBaud(int nBaud, speed_t& speed);
// The rate of a termios code; 0 when it names none.
int BaudFromSpeed(speed_t speed);
