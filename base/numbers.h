// Constants the drawing code shares.
#pragma once

// π as the show has always written it: its tables and angles are computed with this value,
// so changing the digits would move pixels.
constexpr double kPi = 3.1415926538;
